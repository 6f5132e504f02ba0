// The page's side of the browser host: the canvas and its scaling, the
// pause and end notices, the sound through Web Audio, the waits that give
// the browser its turn, the browser's storage for the kept folder, and the
// touch screen's part: the pointer on the picture, the buttons beside it
// and the text field that brings up the on-screen keyboard.
// The host (web_host.cpp) calls these through Module.rtPage.

Module.rtPage = (function () {
  'use strict';
  var WIDTH = 800;
  var HEIGHT = 600;

  var canvas = null;     // the canvas on the page, at the layout's size
  var context = null;
  var picture = null;    // the screen as last shown, one canvas pixel per game pixel
  var pictureContext = null;
  var factor = 1;
  var wake = null;       // ends the game's current wait early
  var audio = null;      // the AudioContext, made at the first key press
  var sounds = [];       // AudioBuffer by the host's sound number
  var voice = null;      // the source playing now
  var touch = false;     // a touch screen: the buttons are shown
  var typing = false;    // the game wants a typed line
  var typed = '';        // what the text field held when last passed on
  // What happened on the page for the host, three numbers an event (see
  // INPUT), taken by the host at its next turn.
  var input = [];
  // The kinds' numbers come from the host at the start (page_input.h is
  // where they are named): down, move, up, button, character, code,
  // secondary, key.
  var INPUT = null;
  var editing = false;   // the editor is shown: its buttons beside the picture
  // The level library's Web Worker (levels_worker.js): made at the first
  // question, false once it has failed.
  var worker = null;
  var FIELDS = 282;      // a level's numbers
  var madeLevels = {};   // 'seed:number' -> its numbers, as the worker made them
  var asking = null;     // the question the worker is rating: {id, fields, interval}
  var waiting = null;    // the newest question, asked while another is rated
  var ratings = {};      // question id -> [verdict, slides, seconds]
  // Where the editor keeps the track as it is now, and the player's tracks.
  var TRACKS = '/game/Data/Strecken';
  // The editor's buttons under the picture: a row of pieces and two of
  // commands; on a touch screen lying on its side, the columns beside it.
  var EDIT_ROWS = 150;
  var ENTER = 13;
  var BACKSPACE = 8;
  // How much of the page the buttons take on a touch screen, in CSS pixels:
  // a row under the picture when the page stands, a column on either side
  // when it lies.
  var ROW = 84;
  var COLUMN = 104;
  // The bar above the picture with the seed's address and "Neue Strecken".
  var BAR = 28;
  // How long the notice about an address that named no seed stays.
  var NOTICE_MS = 6000;
  // The kept folder's mount point while the browser's storage keeps it;
  // null where the browser gives no storage.
  var keptMount = null;
  // How long a read or write of the browser's storage may take before it
  // counts as failed: a full storage may never answer at all.
  var STORAGE_WAIT_MS = 3000;

  // Runs `work(finish)` and resolves with what it finishes with, or with 0
  // when it throws or does not finish within twice STORAGE_WAIT_MS (a write
  // of the storage may be tried twice).
  function storageStep(work) {
    return new Promise(function (resolve) {
      var over = false;
      var timer = setTimeout(function () { finish(0); }, 2 * STORAGE_WAIT_MS);
      function finish(value) {
        if (over) return;
        over = true;
        clearTimeout(timer);
        resolve(value);
      }
      try {
        work(finish);
      } catch (error) {
        console.error('rangiertrubel: storage:', error);
        finish(0);
      }
    });
  }

  // The path as the page's file system names it from its root.
  function fullPath(path) {
    return path.charAt(0) === '/' ? path : FS.cwd().replace(/\/$/, '') + '/' + path;
  }

  // A short notice above the picture, taken away after a few seconds or by
  // the player's next key or touch.
  function notify(text) {
    var notice = element('refused');
    if (!notice) return;
    notice.textContent = text;
    notice.style.display = 'block';
    var timer = 0;
    var hide = function () {
      notice.style.display = 'none';
      clearTimeout(timer);
      document.removeEventListener('pointerdown', hide, true);
      document.removeEventListener('keydown', hide, true);
    };
    timer = setTimeout(hide, NOTICE_MS);
    document.addEventListener('pointerdown', hide, true);
    document.addEventListener('keydown', hide, true);
  }

  function element(id) {
    return document.getElementById(id);
  }

  function show(id, shown) {
    var e = element(id);
    if (e) e.style.display = shown ? 'flex' : 'none';
  }

  function give(kind, a, b) {
    input.push(kind, a | 0, b | 0);
    if (wake) wake();
  }

  function portrait() {
    return page.fullHeight() >= page.fullWidth();  // as CSS counts it
  }

  // The pointer's place on the picture in game pixels, wherever and however
  // large the canvas is shown.
  function picturePoint(event) {
    var r = canvas.getBoundingClientRect();
    if (!(r.width > 0) || !(r.height > 0)) return [-1, -1];
    return [Math.floor((event.clientX - r.left) * WIDTH / r.width),
            Math.floor((event.clientY - r.top) * HEIGHT / r.height)];
  }

  // The primary pointer on the canvas goes to the game; the browser's own
  // gestures (scrolling, zoom, the long-press menu) stay off the picture.
  function watchPointer() {
    var pointer = null;
    var pass = function (kind) {
      return function (event) {
        if (!event.isPrimary) return;
        if (kind === INPUT.down && event.button === 2) {
          // The mouse's second button: the editor picks the piece under it.
          var q = picturePoint(event);
          give(INPUT.secondary, q[0], q[1]);
          event.preventDefault();
          return;
        }
        if (kind === INPUT.down) {
          pointer = event.pointerId;
          try {
            canvas.setPointerCapture(event.pointerId);
          } catch (error) {
          }
          page.startAudio();
          // The keyboard on the screen comes up only within a touch.
          if (typing && touch && event.pointerType !== 'mouse') field().focus();
        } else if (pointer !== event.pointerId) {
          return;
        }
        if (kind === INPUT.up) pointer = null;
        var p = picturePoint(event);
        give(kind, p[0], p[1]);
        if (event.pointerType !== 'mouse') event.preventDefault();
      };
    };
    canvas.addEventListener('pointerdown', pass(INPUT.down));
    canvas.addEventListener('pointermove', pass(INPUT.move));
    canvas.addEventListener('pointerup', pass(INPUT.up));
    canvas.addEventListener('pointercancel', pass(INPUT.up));
    canvas.addEventListener('contextmenu', function (event) {
      event.preventDefault();
    });
  }

  // Tempo, Ton, Aufgeben: numbers 0, 1, 2 for the host. Pressed at the
  // touch, without taking the keyboard from the canvas.
  function watchButtons() {
    var buttons = document.querySelectorAll('#touch [data-button]');
    for (var i = 0; i < buttons.length; i++) {
      (function (button) {
        var number = Number(button.getAttribute('data-button'));
        button.addEventListener('pointerdown', function (event) {
          event.preventDefault();
          page.startAudio();
          give(INPUT.button, number, 0);
        });
        button.addEventListener('mousedown', function (event) {
          event.preventDefault();
        });
        button.addEventListener('contextmenu', function (event) {
          event.preventDefault();
        });
      })(buttons[i]);
    }
  }

  function field() {
    return element('typing');
  }

  // The editor's buttons: each gives the key it stands for (data-key, a
  // key-buffer code), download and upload work on the page itself.
  function watchEditor() {
    var buttons = document.querySelectorAll('#editor [data-key]');
    for (var i = 0; i < buttons.length; i++) {
      (function (button) {
        var code = Number(button.getAttribute('data-key'));
        button.addEventListener('pointerdown', function (event) {
          event.preventDefault();
          page.startAudio();
          give(INPUT.key, code, 0);
        });
        button.addEventListener('mousedown', function (event) {
          event.preventDefault();
        });
        button.addEventListener('contextmenu', function (event) {
          event.preventDefault();
        });
      })(buttons[i]);
    }
    element('download').addEventListener('click', downloadTrack);
    element('upload').addEventListener('click', function () {
      element('upload-file').click();
    });
    element('upload-file').addEventListener('change', uploadTrack);
    element('shared-close').addEventListener('click', function () {
      show('shared', false);
      canvas.focus();
    });
  }

  // The worker, made when first needed. A worker that cannot start or that
  // fails answers nothing more: the game then does the work itself.
  function levelsWorker() {
    if (worker !== null) return worker;
    try {
      worker = new Worker('levels_worker.js');
    } catch (error) {
      worker = false;
      return worker;
    }
    worker.onmessage = function (event) {
      var answer = event.data;
      if (answer.kind === 'level') {
        madeLevels[answer.seed + ':' + answer.number] = answer.fields;
      } else if (answer.kind === 'rate') {
        ratings[answer.id] = answer.rating;
        asking = null;
        if (waiting) {
          asking = waiting;
          waiting = null;
          worker.postMessage({kind: 'rate', id: asking.id, fields: asking.fields,
                              interval: asking.interval});
        }
      }
      if (wake) wake();
    };
    worker.onerror = function (event) {
      console.error('rangiertrubel: the level worker failed:', event.message);
      worker.terminate();
      worker = false;
      if (wake) wake();
    };
    return worker;
  }

  // The track as the editor holds it now (its draft, written after every
  // change) as a level file to download.
  function downloadTrack() {
    var bytes = null;
    try {
      bytes = FS.readFile(TRACKS + '/Entwurf.dat');
    } catch (error) {
      notify('Noch keine Strecke zum Herunterladen.');
      return;
    }
    var link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
    link.download = 'strecke.dat';
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(link.href); }, 10000);
  }

  // A level file from the player's disk joins "Meine Strecken" under its
  // own name (letters, digits, - and _ only), kept in the browser's
  // storage; the editor reads and checks it when it is opened there.
  function uploadTrack(event) {
    var file = event.target.files && event.target.files[0];
    event.target.value = '';
    if (!file) return;
    if (file.size > 65536) {
      notify('Diese Datei ist keine Strecke (zu gro\u00df).');
      return;
    }
    file.arrayBuffer().then(function (buffer) {
      var base = file.name.replace(/\.[^.]*$/, '').replace(/[^A-Za-z0-9_-]/g, '_').slice(0, 24);
      if (!base || base === 'Entwurf') base = 'Hochgeladen';
      try {
        FS.mkdirTree(TRACKS);
      } catch (error) {
      }
      var name = base + '.dat';
      for (var n = 2; FS.analyzePath(TRACKS + '/' + name).exists; n++) name = base + '-' + n + '.dat';
      FS.writeFile(TRACKS + '/' + name, new Uint8Array(buffer));
      return page.saveStorage().then(function (kept) {
        notify('\u201e\u2068' + name + '\u2069\u201c liegt unter Meine Strecken (M)' +
               (kept ? '.' : ', aber der Browser speichert es nicht.'));
      });
    }).catch(function () {
      notify('Die Datei lie\u00df sich nicht lesen.');
    });
  }

  // The pieces' buttons show the palette as the game draws it, the chosen
  // piece marked.
  function copyPalette() {
    var pieces = document.querySelectorAll('#palette canvas');
    for (var i = 0; i < pieces.length; i++) {
      var c = pieces[i].getContext('2d');
      c.imageSmoothingEnabled = false;
      c.drawImage(picture, i * 40, 560, 40, 40, 0, 0, pieces[i].width, pieces[i].height);
    }
  }

  // The text field kept off the picture: what its keyboard types goes to
  // the game's line input character by character. The game's line only
  // grows and shrinks at its end, so a change anywhere in the field is
  // passed on as Backspace back to where it differs, then the new rest.
  function watchField() {
    var f = field();
    f.addEventListener('input', function () {
      var now = f.value;
      var same = 0;
      while (same < typed.length && same < now.length && typed[same] === now[same]) same++;
      for (var i = typed.length; i > same; i--) give(INPUT.code, BACKSPACE, 0);
      var rest = Array.from(now.slice(same));
      for (var j = 0; j < rest.length; j++) give(INPUT.character, rest[j].codePointAt(0), 0);
      typed = now;
    });
    f.addEventListener('keydown', function (event) {
      if (event.key !== 'Enter') return;
      event.preventDefault();
      give(INPUT.code, ENTER, 0);
    });
  }

  // Draws picture rows first .. first + count - 1 onto the canvas, each game
  // pixel a factor x factor square.
  function copyRows(first, count) {
    context.imageSmoothingEnabled = false;
    context.drawImage(picture, 0, first, WIDTH, count, 0, first * factor, WIDTH * factor,
                      count * factor);
  }

  var page = {
    frames: 0,       // pictures shown
    soundsStarted: 0,

    start: function (kinds) {
      window.rtGameStarted = true;
      INPUT = kinds;
      canvas = element('screen');
      context = canvas.getContext('2d', {alpha: false});
      picture = document.createElement('canvas');
      picture.width = WIDTH;
      picture.height = HEIGHT;
      pictureContext = picture.getContext('2d', {alpha: false});
      pictureContext.fillStyle = '#000';
      pictureContext.fillRect(0, 0, WIDTH, HEIGHT);
      show('status', false);
      canvas.style.display = 'block';
      touch = navigator.maxTouchPoints > 0 || 'ontouchstart' in window;
      document.body.className = touch ? 'touch' : '';
      watchPointer();
      watchButtons();
      watchField();
      watchEditor();
      // In the editor's page (a test drive included) the link to it goes.
      if (new URLSearchParams(window.location.search).has('edit')) show('build', false);
      // A click anywhere but on the bar (whose address can be selected)
      // gives the game the keyboard back (the text field's while a line is
      // typed).
      document.addEventListener('mousedown', function (event) {
        if (element('bar').contains(event.target)) return;
        if (element('end').style.display !== 'flex') {
          (typing ? field() : canvas).focus();
          event.preventDefault();
        }
      });
      canvas.focus();
    },

    // `rgba` points at `count` rows of 800 RGBA pixels in the heap.
    showRows: function (rgba, first, count) {
      var bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, WIDTH * 4 * count);
      pictureContext.putImageData(new ImageData(bytes, WIDTH, count), 0, first);
      copyRows(first, count);
      if (editing && first + count > 560) copyPalette();
      page.frames++;
      if (page.frames === 1) setTimeout(page.makeAudio, 0);
      if (Module.rtOnFrame) Module.rtOnFrame(page.frames);
    },

    // `left` and `top` count from the corner of the part of the page the
    // picture has (pageWidth x pageHeight).
    layout: function (newFactor, left, top, width, height, exact) {
      var side = touch && !portrait() ? COLUMN : 0;
      element('editor').style.top = (top + BAR + height) + 'px';
      canvas.style.left = (left + side) + 'px';
      canvas.style.top = (top + BAR) + 'px';
      canvas.style.width = width + 'px';
      canvas.style.height = height + 'px';
      canvas.className = exact ? 'exact' : '';  // 0 or 1 from the host
      if (newFactor !== factor || canvas.width !== WIDTH * newFactor) {
        factor = newFactor;
        canvas.width = WIDTH * factor;  // clears the canvas
        canvas.height = HEIGHT * factor;
        copyRows(0, HEIGHT);
      }
    },

    fullWidth: function () {
      return document.documentElement.clientWidth || window.innerWidth || 0;
    },
    fullHeight: function () {
      return document.documentElement.clientHeight || window.innerHeight || 0;
    },
    // The part of the page the picture may take: all of it, less the bar
    // above and the buttons on a touch screen.
    pageWidth: function () {
      var full = page.fullWidth();
      return touch && !portrait() ? Math.max(full - 2 * COLUMN, 0) : full;
    },
    pageHeight: function () {
      var full = page.fullHeight() - BAR;
      if (editing && !(touch && !portrait())) return Math.max(full - EDIT_ROWS, 0);
      return Math.max(touch && portrait() ? full - ROW : full, 0);
    },

    // The editor is shown (1) or left (0, a test drive or the end): its
    // buttons replace the game's.
    editorShown: function (shown) {
      editing = !!shown;
      document.body.classList.toggle('editing', editing);
      if (editing) copyPalette();
    },

    // The worker makes the ten levels of `seed`, in order.
    makeLevels: function (seed) {
      var w = levelsWorker();
      if (!w) return;
      for (var n = 1; n <= 10; n++) w.postMessage({kind: 'level', seed: seed, number: n});
    },
    // Level `number` of `seed` into the heap at `out`: 1 when made, 0 while
    // being made, -1 when the worker cannot make it.
    takeLevel: function (seed, number, out) {
      var fields = madeLevels[seed + ':' + number];
      if (fields) {
        for (var i = 0; i < FIELDS; i++) HEAP32[(out >> 2) + i] = fields[i];
        return 1;
      }
      return levelsWorker() ? 0 : -1;
    },
    // Question `id`: the verdict on the track whose numbers are at `fields`;
    // a question not yet sent to the worker gives way to it. 0 without a
    // worker.
    askRating: function (id, fields, interval) {
      var w = levelsWorker();
      if (!w) return 0;
      var question = {id: id, fields: HEAP32.slice(fields >> 2, (fields >> 2) + FIELDS),
                      interval: interval};
      ratings = {};
      if (asking) {
        waiting = question;
      } else {
        asking = question;
        w.postMessage({kind: 'rate', id: id, fields: question.fields, interval: interval});
      }
      return 1;
    },
    // The answer to question `id` into the heap at `out` (three doubles): 1
    // when there, 0 while awaited, -1 when it never will be.
    takeRating: function (id, out) {
      var rating = ratings[id];
      if (rating) {
        for (var i = 0; i < 3; i++) HEAPF64[(out >> 3) + i] = rating[i];
        return 1;
      }
      if (!worker) return -1;
      var pending = (asking && asking.id === id) || (waiting && waiting.id === id);
      return pending ? 0 : -1;
    },

    // The player shares the track `code`: its link stands above the
    // picture, copied where the browser lets the page, otherwise selected
    // for the player to copy.
    shareTrack: function (code) {
      var address = new URL(window.location.href);
      address.search = '?track=' + code;
      var link = element('shared-link');
      link.value = address.href;
      element('shared-said').textContent = 'Link zur Strecke:';
      show('shared', true);
      link.focus();
      link.select();
      var said = function (text) { element('shared-said').textContent = text; };
      try {
        navigator.clipboard.writeText(address.href).then(function () {
          said('Link kopiert:');
        }, function () {
          said('Link zum Kopieren (markiert):');
        });
      } catch (error) {
        said('Link zum Kopieren (markiert):');
      }
    },

    // The host takes what happened since its last turn: up to `max` events
    // of three 32-bit numbers each into the heap at `out`; gives the count.
    takeInput: function (out, max) {
      var count = Math.min(max, input.length / 3);
      for (var i = 0; i < count * 3; i++) HEAP32[(out >> 2) + i] = input[i];
      input.splice(0, count * 3);
      return count;
    },

    // The game asks for a typed line of at most `length` characters, or
    // is done with it. The field holds no more than the line, so that the
    // two stay alike.
    setTyping: function (on, length) {
      typing = !!on;
      var f = field();
      f.value = '';
      typed = '';
      f.maxLength = Math.max(length, 0);
      if (typing) {
        // The line is typed into the field on every device: text that comes
        // without key events (a composed umlaut, an input method, a paste)
        // reaches the game through the field alone. On a touch screen this
        // brings the keyboard up where the browser allows it without a
        // touch; otherwise the next touch on the picture does.
        f.focus();
      } else if (document.activeElement === f) {
        canvas.focus();
      }
    },

    setPaused: function (paused) {
      show('pause', paused);
    },

    hideCursor: function (hidden) {
      canvas.style.cursor = hidden ? 'none' : 'default';
    },

    ended: function (status) {
      if (editing && status === 0) {
        // The editor's "Ende": on to the game (the shared track, if any).
        var play = new URL(window.location.href);
        play.searchParams.delete('edit');
        window.location.replace(play.href);
        return;
      }
      element('screen').style.display = 'none';
      document.body.className = '';
      show('status', false);
      show('pause', false);
      element('end-error').style.display = status === 0 ? 'none' : 'block';
      show('end', true);
      var again = element('again');
      again.onclick = function () {
        window.location.reload();
      };
      again.focus();
    },

    // The game's pause: over after `ms` milliseconds (never when negative),
    // or at once when the host wakes it.
    wait: function (ms) {
      return new Promise(function (resolve) {
        var timer = 0;
        var finish = function () {
          clearTimeout(timer);
          if (wake === finish) wake = null;
          resolve();
        };
        if (ms >= 0) timer = setTimeout(finish, ms);
        wake = finish;
      });
    },
    wake: function () {
      if (wake) wake();
    },

    // The sound output, made once the page has shown its first picture, in
    // a turn of its own (making it takes a while), and held (suspended)
    // while no sound plays, as a running output keeps waking the browser to
    // play silence. Browsers let it sound only after the player has done
    // something; the first sound after that starts it.
    makeAudio: function () {
      if (audio) return;
      try {
        var Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return;
        audio = new Context();
        if (!voice) audio.suspend();
      } catch (error) {
        audio = null;
      }
    },
    // The player did something: the output is made now if it is not yet.
    startAudio: function () {
      page.makeAudio();
    },
    // `samples` points at `count` interleaved signed 16-bit samples.
    loadSound: function (number, samples, count, channels, rate) {
      try {
        var frames = Math.floor(count / channels);
        var buffer = new AudioBuffer({length: Math.max(frames, 1), numberOfChannels: channels,
                                      sampleRate: rate});
        var source = new Int16Array(HEAPU8.buffer, samples, count);
        for (var c = 0; c < channels; c++) {
          var data = buffer.getChannelData(c);
          for (var i = 0; i < frames; i++) data[i] = source[i * channels + c] / 32768;
        }
        sounds[number] = buffer;
      } catch (error) {
        sounds[number] = null;  // a sound the browser cannot take plays nothing
      }
    },
    // One voice: a new sound replaces the one playing.
    playSound: function (number) {
      if (!audio || audio.state === 'closed' || !sounds[number]) return;
      var old = voice;
      voice = null;
      try {
        if (old) old.stop();
      } catch (error) {
      }
      var source = audio.createBufferSource();
      source.buffer = sounds[number];
      source.connect(audio.destination);
      source.onended = function () {
        if (voice !== source) return;
        voice = null;
        audio.suspend();
      };
      voice = source;
      if (audio.state === 'suspended') audio.resume();
      source.start();
      page.soundsStarted++;
    },

    // The program plays the levels of `seed`: the address becomes
    // ?seed=<seed> so that it can be shared, the bar shows it, the title
    // names it. `refused` is the address's text that was no seed, named in
    // a notice until a few seconds have passed or the player does something.
    // `day` is the date when the seed is the track of that day.
    showSeed: function (seed, refused, day) {
      var address = new URL(window.location.href);
      address.search = '?seed=' + seed;
      try {
        window.history.replaceState(window.history.state, '', address.href);
      } catch (error) {
        // A page in a frame or opened from a file may not change its address.
      }
      var name = day ? 'Strecke des Tages ' + day : 'Strecken ' + seed;
      element('seed').textContent = name + ':';
      element('address').textContent = address.href;
      element('share').style.display = '';
      document.title += ' - ' + name;
      if (!refused) return;
      var notice = element('refused');
      var shown = Array.from(refused);
      var text = shown.length > 24 ? shown.slice(0, 23).join('') + '\u2026' : refused;
      // The player's text stands isolated between the quotes (FSI ... PDI),
      // so that a right-to-left override in it cannot turn our words around.
      notify('\u201e\u2068' + text + '\u2069\u201c ist kein Streckencode \u2013 ' +
             'neue Strecken gew\u00fcrfelt.');
    },

    // The program plays a player's track from the address (?track=CODE),
    // proven to be `verdict`; or refused it for the reason `refused`.
    showTrack: function (verdict, refused) {
      if (refused) {
        notify('Diese Strecke wird nicht gespielt: \u2068' + refused + '\u2069');
        return;
      }
      element('seed').textContent = 'Eigene Strecke: ' + verdict;
      element('address').textContent = '';
      element('share').style.display = '';
      // "Bearbeiten" opens the same track in the editor.
      var edit = new URL(window.location.href);
      edit.searchParams.set('edit', '');
      element('fresh').textContent = 'Bearbeiten';
      element('fresh').href = edit.href;
      document.title += ' - Eigene Strecke';
    },

    // The kept folder lives in IndexedDB: mounted and read in at the start,
    // written out after every change. Without IndexedDB (some private
    // windows, storage turned off) the files last as long as the page, and
    // the player is told that the list is not kept.
    mountStorage: function (path) {
      var available = false;
      try {
        available = typeof indexedDB !== 'undefined' && !!indexedDB;
      } catch (error) {
        // A browser that forbids storage may throw on the very name.
      }
      try {
        FS.mkdirTree(path);
      } catch (error) {
        // Already there.
      }
      if (!available) {
        notify('Dieser Browser speichert nichts: die Bestenliste gilt nur, solange die Seite offen ist.');
        return Promise.resolve(0);
      }
      // Every write of the storage (also the one a file's fsync makes, which
      // the game waits for) gives up after STORAGE_WAIT_MS: a full storage
      // never answers, and the game would wait for ever. A storage cleared
      // while the page was open fails at once: it is opened afresh and
      // written whole.
      if (!IDBFS.rtGuarded) {
        var sync = IDBFS.syncfs;
        IDBFS.syncfs = function (mount, populate, callback) {
          var over = false;
          var again = true;
          var timer = setTimeout(function () {
            over = true;
            callback(new Error('the browser\'s storage did not answer'));
          }, STORAGE_WAIT_MS);
          var answered = function (error) {
            if (over) return;
            if (error && again) {
              again = false;
              delete IDBFS.dbs[mount.mountpoint];
              sync(mount, populate, answered);
              return;
            }
            over = true;
            clearTimeout(timer);
            callback(error);
          };
          sync(mount, populate, answered);
        };
        IDBFS.rtGuarded = true;
      }
      return storageStep(function (finish) {
        FS.mount(IDBFS, {}, path);
        keptMount = fullPath(path);
        FS.syncfs(true, function (error) {
          if (error) console.warn('rangiertrubel: storage not read:', error);
          finish(error ? 0 : 1);
        });
      });
    },
    // Writes the kept folder out; 1 when the browser's storage took it, 0
    // when it is full, cleared and not to be opened again, or not there.
    saveStorage: function () {
      if (keptMount === null) return Promise.resolve(0);
      return storageStep(function (finish) {
        FS.syncfs(false, function (error) {
          if (error) console.error('rangiertrubel: storage not written:', error);
          finish(error ? 0 : 1);
        });
      });
    },
    // Reads `path` in anew as the browser's storage holds it now, so that a
    // list another tab saved meanwhile is merged with, not written over.
    // 1 when read (or not in the storage), 0 when the storage did not answer.
    readKept: function (path) {
      if (keptMount === null) return Promise.resolve(0);
      var key = fullPath(path);
      return storageStep(function (finish) {
        IDBFS.getDB(keptMount, function (error, db) {
          if (error) {
            finish(0);
            return;
          }
          var request = db.transaction([IDBFS.DB_STORE_NAME], 'readonly')
                            .objectStore(IDBFS.DB_STORE_NAME)
                            .get(key);
          request.onsuccess = function () {
            var entry = request.result;
            if (entry && entry.contents) {
              FS.writeFile(key, entry.contents);
              FS.utime(key, entry.timestamp, entry.timestamp);
            }
            finish(1);
          };
          request.onerror = function (event) {
            event.preventDefault();
            finish(0);
          };
        });
      });
    }
  };
  return page;
})();

// The seed in the page's address (?seed=S) goes to the program as its
// command line, "--seed S", decoded from the address but not judged: the
// program decides what is a seed. Control characters become U+FFFD first:
// the program reads its arguments as C strings, so a NUL would cut the text
// short ("12%0034" read as seed 12) instead of having it refused.
// A player's track (?track=CODE) goes as "--track CODE" the same way, and
// ?edit as "--edit".
(function () {
  var address = new URLSearchParams(window.location.search);
  var text = address.get('seed');
  var track = address.get('track');
  var clean = function (value) { return value.replace(/[\u0000-\u001f\u007f]/g, '\ufffd'); };
  var args = [];
  if (track !== null) {
    args = ['--track', clean(track)];
  } else if (text !== null) {
    args = ['--seed', clean(text)];
  }
  // ?edit: the editor "Strecke bauen", on the shared track when there is one.
  if (address.has('edit')) args.push('--edit');
  // ?level=N (tests and the benchmark): every game starts on level N.
  // Anything but 1 to 10 is left out: it is no player's choice to refuse.
  var level = address.get('level');
  if (level !== null && /^(10|[1-9])$/.test(level)) args.push('--level', level);
  Module.arguments = args;
})();

// The page keeps its files for playing offline (sw.js beside it); a page
// opened from a file or without the browser's support simply goes on.
if ('serviceWorker' in navigator && window.location.protocol !== 'file:') {
  window.addEventListener('load', function () {
    navigator.serviceWorker.register('sw.js').catch(function (error) {
      console.warn('rangiertrubel: no offline copy:', error);
    });
  });
}

// A failure the game could not handle itself ends it with the same page.
Module.onAbort = function () {
  if (Module.rtPage && document.getElementById('end')) Module.rtPage.ended(1);
};
