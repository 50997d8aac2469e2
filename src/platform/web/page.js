// The page's side of the game: the key queue the game drains each frame, the
// canvas, pauses that hand control to the browser, Web Audio, the score
// folder in IndexedDB, the address's scripted-run arguments and messages.
var VolmarinPage = (function () {
  const page = {
    events: [],
    held: new Set(),
    shows: [],          // times (ms) of the last images shown, for the frame pacing
    snapshots: {},      // scripted runs: frame -> {width, height, rgba}
    scripted: null,     // scripted runs: {frames, status} once finished
    saves: 0,           // the score folder's copies written to storage
    storage: true,      // false when the browser keeps nothing
  };

  page.message = function (text) {
    const box = document.getElementById('message');
    if (box) { box.textContent = text; box.hidden = false; }
  };

  // ---- the canvas
  let context2d = null;
  page.show = function (rgba, width, height) {
    const canvas = document.getElementById('canvas');
    if (!context2d) {
      canvas.width = width;
      canvas.height = height;
      context2d = canvas.getContext('2d');
    }
    const pixels = new Uint8ClampedArray(rgba.buffer, rgba.byteOffset, width * height * 4);
    context2d.putImageData(new ImageData(pixels, width, height), 0, 0);
    page.shows.push(performance.now());
    if (page.shows.length > 4000) page.shows.splice(0, 2000);
  };
  page.snapshot = function (frame, rgba, width, height) {
    page.snapshots[frame] = { width: width, height: height, rgba: rgba };
  };
  page.scripteddone = function (frames, status) {
    page.scripted = { frames: frames, status: status };
  };

  // ---- pauses: a timer, or for none at all a message that comes straight back
  const channel = new MessageChannel();
  const waiting = [];
  channel.port1.onmessage = function () { const go = waiting.shift(); if (go) go(); };
  page.pause = function (ms) {
    return new Promise(function (go) {
      if (ms > 0) { setTimeout(go, ms); } else { waiting.push(go); channel.port2.postMessage(0); }
    });
  };

  // ---- keys
  page.togglefullscreen = function () {
    const box = document.getElementById('screen');
    if (document.fullscreenElement) {
      document.exitFullscreen();
    } else if (box && box.requestFullscreen) {
      box.requestFullscreen().catch(function () {});
    }
  };
  function numlock(e) { return e.getModifierState ? e.getModifierState('NumLock') : true; }
  function key(e, down) {
    if (e.code === 'F11') {
      e.preventDefault();
      if (down && !e.repeat) page.togglefullscreen();
      return;
    }
    // The browser's own keys for reloading and its tools stay the browser's.
    if (e.code !== 'F5' && e.code !== 'F12' && !(e.ctrlKey && e.code === 'KeyR')) e.preventDefault();
    if (down) { page.audio.resume(); page.held.add(e.code); } else { page.held.delete(e.code); }
    page.events.push({ down: down, code: e.code, key: e.key, numlock: numlock(e) });
  }
  window.addEventListener('keydown', function (e) { key(e, true); });
  window.addEventListener('keyup', function (e) { key(e, false); });
  // Keys held when the page loses the keyboard would never come up.
  window.addEventListener('blur', function () {
    page.held.forEach(function (code) {
      page.events.push({ down: false, code: code, key: '', numlock: true });
    });
    page.held.clear();
  });

  // Leaving or reloading the page closes the game as closing its window
  // would: a table awaiting its save is saved.
  window.addEventListener('pagehide', function () {
    if (Module['_page_unload']) Module['_page_unload']();
  });

  // ---- sound
  const audio = { context: null, entries: {} };
  page.audio = audio;
  audio.get = function () {
    if (!audio.context) {
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return null;
      try { audio.context = new Context(); } catch (e) { return null; }
    }
    return audio.context;
  };
  // Browsers start sound only after a gesture of the player: the first key.
  audio.resume = function () {
    const c = audio.get();
    if (c && c.state !== 'running') c.resume().catch(function () {});
  };
  function running() { return audio.context && audio.context.state === 'running'; }
  function silence(entry) {
    if (!entry.source) return;
    entry.source.onended = null;
    try { entry.source.stop(); } catch (e) {}
    entry.source = null;
  }
  function start(entry) {
    silence(entry);
    if (!entry.buffer) return;
    const c = audio.context;
    const source = c.createBufferSource();
    source.buffer = entry.buffer;
    source.connect(c.destination);
    source.onended = function () {
      if (entry.source !== source) return;
      entry.source = null;
      entry.playing = false;
      entry.offset = 0;
    };
    const offset = entry.offset % entry.buffer.duration;
    entry.startedat = c.currentTime - offset;
    source.start(0, offset);
    entry.source = source;
  }
  audio.open = function (alias, bytes, music) {
    const c = audio.get();
    if (!c) return false;
    const entry = { music: music, buffer: null, source: null, playing: false, offset: 0, startedat: 0 };
    audio.entries[alias] = entry;
    c.decodeAudioData(bytes.buffer).then(function (buffer) {
      entry.buffer = buffer;
      // Music asked for while the file was decoding starts now.
      if (entry.playing && audio.entries[alias] === entry) start(entry);
    }, function () { entry.playing = false; });
    return true;
  };
  function play(alias, fromstart) {
    const entry = audio.entries[alias];
    if (!entry) return false;
    if (fromstart) entry.offset = 0;
    // An effect before the sound has started is dropped; music waits for it.
    if (!entry.music && (!running() || !entry.buffer)) return true;
    entry.playing = true;
    start(entry);
    return true;
  }
  audio.playfromstart = function (alias) { return play(alias, true); };
  audio.play = function (alias) {
    const entry = audio.entries[alias];
    return entry && entry.playing ? true : play(alias, false);
  };
  audio.stop = function (alias) {
    const entry = audio.entries[alias];
    if (!entry) return false;
    if (entry.source) entry.offset = audio.context.currentTime - entry.startedat;
    silence(entry);
    entry.playing = false;
    return true;
  };
  audio.seektostart = function (alias) {
    const entry = audio.entries[alias];
    if (!entry) return false;
    entry.offset = 0;
    if (entry.playing) start(entry);
    return true;
  };
  audio.isplaying = function (alias) {
    const entry = audio.entries[alias];
    return !!(entry && entry.playing);
  };
  audio.close = function (alias) {
    const entry = audio.entries[alias];
    if (entry) silence(entry);
    delete audio.entries[alias];
    return true;
  };

  // ---- the score folder, kept in IndexedDB
  // IndexedDB keeps a save a moment after it is made, and a page reloaded or
  // closed in that moment would lose it. So each saved table is also kept at
  // once in the page's local storage, with the file's time; at the next start
  // a newer copy there takes the place of the one IndexedDB gives back.
  const tablefile = '/scores/hiscores.dat', journal = 'volmarin-hiscores';
  const filetime = function () {
    try { return +FS.stat(tablefile).mtime; } catch (e) { return -Infinity; }
  };
  const keepjournal = function () {
    try {
      const bytes = FS.readFile(tablefile);
      let text = '';
      for (let i = 0; i < bytes.length; ++i) text += String.fromCharCode(bytes[i]);
      localStorage.setItem(journal, JSON.stringify({ time: filetime(), data: btoa(text) }));
    } catch (e) { /* no local storage: IndexedDB alone keeps the table */ }
  };
  page.restorejournal = function () {
    let entry = null;
    try { entry = JSON.parse(localStorage.getItem(journal)); } catch (e) { return false; }
    if (!entry || typeof entry.time !== 'number' || typeof entry.data !== 'string') return false;
    if (filetime() >= entry.time) return false;
    let bytes;
    try { bytes = Uint8Array.from(atob(entry.data), function (c) { return c.charCodeAt(0); }); } catch (e) { return false; }
    // The game reads it as any table it finds: a damaged one is set aside.
    FS.writeFile(tablefile, bytes);
    FS.chmod(tablefile, 420);  // rw-r--r--
    FS.utime(tablefile, entry.time, entry.time);
    return true;
  };
  let syncing = false, again = false;
  page.savescores = function () {
    if (!page.storage) return;
    keepjournal();
    if (syncing) { again = true; return; }
    syncing = true;
    FS.syncfs(false, function (error) {
      syncing = false;
      if (error) {
        page.message('The browser did not keep the high scores (' + error + ').');
      } else {
        page.saves += 1;
      }
      if (again) { again = false; page.savescores(); }
    });
  };
  return page;
})();

// ---- what the program gets: its arguments from the address, and its folders
(function () {
  const params = new URLSearchParams(window.location.search);
  const args = [];
  let inlinekeys = null, keyfile = null;
  if (params.has('frames')) {
    args.push('--frames', params.get('frames'));
    if (params.has('seed')) args.push('--seed', params.get('seed'));
    (params.get('snapshot') || '').split(',').filter(Boolean).forEach(function (n) {
      args.push('--snapshot', n);
    });
    const keys = params.get('keys');
    if (keys) {
      // A plain file name is a key file beside the page; anything else is the
      // key file itself, with ';' between its lines.
      if (/^[A-Za-z0-9_.\-]+$/.test(keys) && !/^\.+$/.test(keys)) keyfile = keys;
      else inlinekeys = keys.split(';').join('\n');
      args.push('--keys', '/script.keys');
    }
  }
  Module['arguments'] = args;
  Module['preRun'] = Module['preRun'] || [];
  Module['preRun'].push(function () {
    if (inlinekeys !== null) FS.writeFile('/script.keys', inlinekeys);
    if (keyfile !== null) {
      addRunDependency('keys');
      fetch(keyfile).then(function (r) {
        if (!r.ok) throw new Error(r.status + ' ' + r.statusText);
        return r.text();
      }).then(function (text) {
        FS.writeFile('/script.keys', text);
      }).catch(function (e) {
        VolmarinPage.message('Cannot fetch the key file ' + keyfile + ': ' + e.message);
      }).finally(function () { removeRunDependency('keys'); });
    }
    FS.mkdir('/scripted');
    FS.mkdir('/scores');
    const nostorage = function (why) {
      VolmarinPage.storage = false;
      VolmarinPage.message('This browser keeps no storage for the page (' + why +
                           '): high scores last until the page is closed.');
    };
    if (typeof indexedDB === 'undefined' || !indexedDB) { nostorage('no IndexedDB'); return; }
    try {
      FS.mount(IDBFS, {}, '/scores');
    } catch (e) { nostorage(e); return; }
    addRunDependency('scores');
    FS.syncfs(true, function (error) {
      if (error) nostorage(error);
      else if (VolmarinPage.restorejournal()) VolmarinPage.savescores();
      removeRunDependency('scores');
    });
  });
  Module['print'] = function (text) { console.log(text); };
  Module['printErr'] = function (text) { console.warn(text); };
  Module['onAbort'] = function (what) { VolmarinPage.message('The game stopped: ' + what); };
})();
