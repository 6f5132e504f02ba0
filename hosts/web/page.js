// The page's side of the browser host: the canvas and its scaling, the
// pause and end notices, the sound through Web Audio, the waits that give
// the browser its turn, and the browser's storage for the kept folder.
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

  function element(id) {
    return document.getElementById(id);
  }

  function show(id, shown) {
    var e = element(id);
    if (e) e.style.display = shown ? 'flex' : 'none';
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

    start: function () {
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
      // A click anywhere gives the game the keyboard back.
      document.addEventListener('mousedown', function (event) {
        if (element('end').style.display !== 'flex') {
          canvas.focus();
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
      page.frames++;
      if (Module.rtOnFrame) Module.rtOnFrame(page.frames);
    },

    layout: function (newFactor, left, top, width, height, exact) {
      canvas.style.left = left + 'px';
      canvas.style.top = top + 'px';
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

    pageWidth: function () {
      return document.documentElement.clientWidth || window.innerWidth || 0;
    },
    pageHeight: function () {
      return document.documentElement.clientHeight || window.innerHeight || 0;
    },

    setPaused: function (paused) {
      show('pause', paused);
    },

    hideCursor: function (hidden) {
      canvas.style.cursor = hidden ? 'none' : 'default';
    },

    ended: function (status) {
      element('screen').style.display = 'none';
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

    // Browsers let a page make sound only after the player has done
    // something: the first key press makes the sound output. It is held
    // (suspended) while no sound plays, as a running output keeps waking
    // the browser to play silence.
    startAudio: function () {
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

    // The kept folder lives in IndexedDB: mounted and read in at the start,
    // written out after every change. Without IndexedDB (some private
    // windows) the files last as long as the page.
    mountStorage: function (path) {
      return new Promise(function (resolve) {
        try {
          FS.mkdirTree(path);
          FS.mount(IDBFS, {}, path);
          FS.syncfs(true, function (error) {
            if (error) console.warn('rangiertrubel: storage not read:', error);
            resolve(error ? 0 : 1);
          });
        } catch (error) {
          console.warn('rangiertrubel: no storage:', error);
          resolve(0);
        }
      });
    },
    saveStorage: function () {
      return new Promise(function (resolve) {
        try {
          FS.syncfs(false, function (error) {
            if (error) console.error('rangiertrubel: storage not written:', error);
            resolve(error ? 0 : 1);
          });
        } catch (error) {
          resolve(0);
        }
      });
    }
  };
  return page;
})();

// A failure the game could not handle itself ends it with the same page.
Module.onAbort = function () {
  if (Module.rtPage && document.getElementById('end')) Module.rtPage.ended(1);
};
