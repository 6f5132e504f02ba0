// The page's Web Worker: the level library (levels.js, levels.wasm) making
// a seed's levels and rating the editor's tracks off the page's thread. A
// message {kind: 'level', seed, number} is answered with the level's 282
// numbers; {kind: 'rate', id, fields, interval} with the verdict, the fewest
// slides and the seconds to spare. Messages are answered in order.
'use strict';

importScripts('levels.js');

var FIELDS = 282;
var library = RtLevels();

self.onmessage = function (event) {
  library.then(function (m) {
    var ask = event.data;
    var fields = m._malloc(FIELDS * 4);
    var out = m._malloc(3 * 8);
    try {
      if (ask.kind === 'level') {
        m._rt_make_level(ask.seed >>> 0, ask.number | 0, fields);
        var level = new Int32Array(FIELDS);
        for (var i = 0; i < FIELDS; i++) level[i] = m.getValue(fields + 4 * i, 'i32');
        self.postMessage({kind: 'level', seed: ask.seed, number: ask.number, fields: level});
      } else if (ask.kind === 'rate') {
        for (var j = 0; j < FIELDS; j++) m.setValue(fields + 4 * j, ask.fields[j] | 0, 'i32');
        m._rt_rate_track(fields, ask.interval, out);
        self.postMessage({kind: 'rate', id: ask.id,
                          rating: [m.getValue(out, 'double'), m.getValue(out + 8, 'double'),
                                   m.getValue(out + 16, 'double')]});
      }
    } finally {
      m._free(fields);
      m._free(out);
    }
  });
};
