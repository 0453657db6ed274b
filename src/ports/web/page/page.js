// The page around the game, run before the game's module starts (emscripten's
// --pre-js): the player's folder in the browser's storage (IDBFS), kept
// there a moment after each save; the Download, Upload, Options and Full
// screen buttons; recordings watched in the viewer (Open recording, a file
// dropped, a #replay= link), Copy link and the recordings it writes to
// download; the keys the page takes for itself
// (F11 and Alt+Enter switch full screen, within the key's gesture as the
// browser wants; L copies a recording's link); the bar's notes, which also
// show what the game says; and window.korvane, what a test of the page reads.
(function () {
  var home = "/home/korvane"; // ports/web/main.cpp plays here unless a link brings a mission
  var missionName = /^kvxmap\.([0-9A-Za-z]{4})(?: ?\(\d+\))?\.kvx$/; // also "kvxmap.AAAA (1).kvx"
  var largest = 1 << 20;
  var storage = true;  // the browser keeps the folder
  var kept = null;     // the folder as last handed to the storage
  var syncing = false;
  var playing = null;  // the folder the game plays in, once it runs

  var korvane = (window.korvane = {ready: false, ended: false, notes: []});
  var noteLine = document.getElementById("note");

  function note(text) {
    korvane.notes.push(text);
    noteLine.textContent = text;
    noteLine.title = korvane.notes.slice(-10).join("\n");
    console.log("korvane: " + text);
  }

  Module.canvas = document.getElementById("screen");
  document.getElementById("stage").addEventListener("contextmenu", function (e) { e.preventDefault(); });
  Module.korvaneNote = note;
  Module.print = function (text) { console.log(text); };
  // What the game says (a recording refused, a playback that departs from
  // it) is the bar's too, a recording's data file named as the player named it.
  Module.printErr = function (text) {
    console.warn(text);
    if (text.indexOf("korvane: ") == 0) note(text.slice(9).split(recordingDir + "/").join(""));
  };
  Module.korvaneStarted = function (folder, own) {
    playing = folder;
    korvane.ready = true;
    if (korvane.watching()) {
      copyButton.hidden = false;
      note("Watching " + recording.name + ": Space pauses, Left and Right seek, [ and ] set " +
           "the speed, I, O and S save a clip, C takes the game over, Escape leaves. " +
           "Copy link (L) shares it.");
    } else {
      note(own ? "Missions you save are kept in this browser."
               : "Playing the mission of the link: missions saved now are not kept " +
                 "(open the page without the link for your own folder).");
    }
    noteLine.textContent = korvane.notes.join(" | "); // what the start found stays in view
    persist();
  };
  Module.korvaneEnded = function () {
    korvane.ended = true;
    if (playing != replayDir) return note("The game has ended. Reload the page to play again.");
    history.replaceState(null, "", location.pathname + location.search); // a reload plays
    note("The recording is closed. Reload the page to play.");
  };
  korvane.step = function (frames) { return Module._webStep(frames); };
  korvane.watching = function () { return korvane.ready && Module._webWatching() == 1; };
  korvane.replayFrame = function () { return korvane.ready ? Module._webReplayFrame() : 0; };
  korvane.mission = function () { return UTF8ToString(Module._webMission()); };
  korvane.folder = function () { return FS.cwd(); };
  korvane.sound = function () { // the audio's state, and seconds of sound queued so far
    var a = Module.korvaneAudio;
    return a && a.context ? {state: a.context.state, queued: a.next} : {state: "none", queued: 0};
  };
  korvane.fullScreen = function () { return !!document.fullscreenElement; };
  korvane.files = function (folder) {
    return FS.readdir(folder || FS.cwd()).filter(function (n) { return n[0] != "."; }).sort();
  };

  // The player's folder comes from the storage before the game starts.
  (Module.preRun = Module.preRun || []).push(function () {
    FS.mkdir(home);
    FS.mount(IDBFS, {}, home);
    addRunDependency("korvane-folder");
    FS.syncfs(true, function (error) {
      if (error) {
        storage = false;
        note("This browser keeps nothing for the page: missions saved are lost on leaving it.");
      }
      kept = folderState();
      removeRunDependency("korvane-folder");
    });
  });

  // What the folder holds, by name, size and time: a save changes it.
  function folderState() {
    var state = "";
    try {
      FS.readdir(home).forEach(function (name) {
        if (name == "." || name == "..") return;
        var s = FS.stat(home + "/" + name);
        state += name + " " + s.size + " " + s.mtime.getTime() + "\n";
      });
    } catch (e) {}
    return state;
  }

  // A few times a second: hands the folder to the storage when it changed.
  // The storage works in the background; no frame waits for it.
  function persist() {
    if (!storage || syncing || playing != home) return;
    var now = folderState();
    if (now === kept) return;
    syncing = true;
    FS.syncfs(false, function (error) {
      syncing = false;
      if (error) note("Missions could not be kept in this browser: " + error);
      else kept = now;
    });
  }
  setInterval(persist, 250);
  document.addEventListener("visibilitychange", persist); // leaving the page, too
  window.addEventListener("pagehide", persist);

  function here(name) { return FS.cwd() + "/" + name; }

  function readMission(name) {
    try { return FS.readFile(here(name)); } catch (e) { return null; }
  }

  function save(name, bytes) {
    var url = URL.createObjectURL(new Blob([bytes], {type: "application/octet-stream"}));
    var a = document.createElement("a");
    a.href = url;
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function () { URL.revokeObjectURL(url); }, 10000);
    note("Downloaded " + name + ".");
  }

  // Download: the mission last loaded or saved; when that is not in the
  // folder, the player picks one of those that are.
  var pick = document.getElementById("pick");
  document.getElementById("download").addEventListener("click", function (e) {
    e.currentTarget.blur();
    if (!korvane.ready) return;
    var name = korvane.mission();
    var bytes = readMission(name);
    if (bytes) return save(name, bytes);
    var names = FS.readdir(FS.cwd()).filter(function (n) { return missionName.test(n); }).sort();
    if (!names.length) return note("There is no mission in the folder to download.");
    pick.innerHTML = "";
    [name + " is not in the folder: choose one"].concat(names).forEach(function (n, i) {
      var o = document.createElement("option");
      o.textContent = n;
      o.disabled = i == 0;
      pick.appendChild(o);
    });
    pick.hidden = false;
  });
  pick.addEventListener("change", function () {
    var bytes = readMission(pick.value);
    pick.hidden = true;
    pick.blur();
    if (bytes) save(pick.value, bytes);
  });

  // Upload: .kvx files into the folder the game plays in, under their
  // mission names; one that would replace a different file asks first.
  var files = document.getElementById("files");
  document.getElementById("upload").addEventListener("click", function (e) {
    e.currentTarget.blur();
    files.click();
  });
  files.addEventListener("change", function () {
    var chosen = Array.prototype.slice.call(files.files);
    files.value = "";
    chosen.reduce(function (done, file) {
      return done.then(function () { return upload(file); });
    }, Promise.resolve()).catch(function (error) { note("Upload failed: " + error); });
  });

  function upload(file) {
    var m = missionName.exec(file.name);
    if (!korvane.ready) return note(file.name + ": wait until the game has started.");
    if (!m) return note(file.name + " is not taken: a mission file is named kvxmap.NNNN.kvx " +
                        "(four digits or capital letters). Rename it and upload it again.");
    if (file.size > largest) return note(file.name + " is not taken: it is far larger than a mission.");
    var name = "kvxmap." + m[1].toUpperCase() + ".kvx";
    return file.arrayBuffer().then(function (data) {
      var bytes = new Uint8Array(data);
      var old = readMission(name);
      var same = old && old.length == bytes.length && old.every(function (b, i) { return b == bytes[i]; });
      if (old && !same && !window.confirm(name + " is already in the folder. Replace it with " +
                                          file.name + "?")) {
        return note(name + " was kept as it was.");
      }
      FS.writeFile(here(name), bytes);
      note((name == file.name ? name : file.name + " as " + name) +
           " is in the folder: load it from the menu's Load (" + name.substr(7, 4) + ").");
      persist();
    });
  }

  // Recordings watched in the viewer. One comes from the address
  // (#replay=<url-safe base64 of the .kvr file>, #replay-url=<an address on
  // this site>), or from a file opened or dropped, which restarts the page with
  // it (kept in sessionStorage for the reload, the player's folder handed to
  // the storage first). Before the game starts, its gzip stream is unpacked
  // with the browser's DecompressionStream into the module's own file system
  // (MEMFS, /recording); main.cpp plays it in the viewer in an empty folder of
  // its own (/replay), or, when the game refuses it, starts the game as ever
  // and the bar shows why.
  var recordingDir = "/recording", replayDir = "/replay"; // as main.cpp has it
  var unpackedMost = 64 << 20; // the most a recording unpacks to here: days of play
  var linkMost = 8 << 20;      // the longest #replay= read
  var opened = "korvane.open"; // sessionStorage: a recording opened, for the reload
  var recording = null;        // the one watched: {name, bytes (the .kvr file)}
  var copyButton = document.getElementById("copy"), linkField = document.getElementById("link");

  function fromBase64url(text) {
    try {
      var plain = atob(text.replace(/-/g, "+").replace(/_/g, "/"));
    } catch (e) {
      return null;
    }
    var bytes = new Uint8Array(plain.length);
    for (var i = 0; i < plain.length; ++i) bytes[i] = plain.charCodeAt(i);
    return bytes;
  }

  function toBase64url(bytes) {
    var plain = "";
    for (var i = 0; i < bytes.length; i += 0x8000)
      plain += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(plain).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
  }

  function hashValue(key) {
    var items = location.hash.replace(/^#/, "").split("&");
    for (var i = 0; i < items.length; ++i)
      if (items[i].indexOf(key + "=") == 0) return items[i].slice(key.length + 1);
    return null;
  }

  // The recording the page was asked for: a promise of {name, bytes}, or null.
  function recordingAsked() {
    var stash = null;
    try {
      stash = JSON.parse(sessionStorage.getItem(opened));
      sessionStorage.removeItem(opened);
    } catch (e) {}
    if (stash) return fromLink(stash.name, stash.link);
    var link = hashValue("replay");
    if (link !== null) return fromLink("the link's recording", link);
    var address = hashValue("replay-url");
    return address === null ? null : fetched(address);
  }

  function fromLink(name, text) {
    if (text.length > linkMost) return Promise.reject(name + " is longer than any recording");
    var bytes = fromBase64url(text);
    if (!bytes) return Promise.reject(name + " is not url-safe base64");
    return Promise.resolve({name: name, bytes: bytes});
  }

  function fetched(address) {
    var where = null;
    try { where = new URL(decodeURIComponent(address), location.href); } catch (e) {}
    if (!where || where.origin != location.origin)
      return Promise.reject("the recording's address " + address + " is not an address on this site");
    var name = decodeURIComponent(where.pathname.split("/").pop()) || "the recording";
    return fetch(where.href).then(function (response) {
      if (!response.ok) throw name + " could not be fetched (" + response.status + " " + response.statusText + ")";
      return response.arrayBuffer();
    }, function (error) {
      throw name + " could not be fetched (" + error.message + ")";
    }).then(function (data) {
      if (data.byteLength > unpackedMost) throw name + " is larger than any recording";
      return {name: name, bytes: new Uint8Array(data)};
    });
  }

  // The data inside a .kvr file's gzip stream. A stream cut off (or spoilt)
  // gives what it held before the break: the game plays a recording cut off
  // to its last whole frame. The writer waits a moment before it ends the
  // stream, so the reader has taken all that came out before the error of a
  // cut-off end, which would drop what it had not.
  function unpack(name, bytes) {
    if (!bytes.length) return Promise.reject(name + ": it is empty");
    if (bytes[0] != 0x1f || bytes[1] != 0x8b)
      return Promise.reject(name + ": it is not a recording (not gzip data)");
    if (typeof DecompressionStream == "undefined")
      return Promise.reject("This browser cannot unpack recordings (it has no DecompressionStream).");
    var stream = new DecompressionStream("gzip");
    var writer = stream.writable.getWriter(), reader = stream.readable.getReader();
    var parts = [], size = 0, broken = false;
    writer.write(bytes).then(function () {
      return new Promise(function (done) { setTimeout(done, 0); });
    }).then(function () { return writer.close(); }).catch(function () {});
    function more() {
      return reader.read().then(function (r) {
        if (r.done) return;
        size += r.value.length;
        if (size > unpackedMost) {
          reader.cancel().catch(function () {});
          throw name + ": it is larger than any recording (over " + (unpackedMost >> 20) + " MB unpacked)";
        }
        parts.push(r.value);
        return more();
      }, function () { broken = true; });
    }
    return more().then(function () {
      if (!size && broken) throw name + ": it is corrupt (its compressed data does not check out)";
      var data = new Uint8Array(size), at = 0;
      parts.forEach(function (p) { data.set(p, at); at += p.length; });
      return data;
    });
  }

  // Before the game starts: the recording asked for put where main.cpp finds
  // it (Module.korvaneRecording). One that cannot be is named in the bar, and
  // the game starts as ever.
  (Module.preRun = Module.preRun || []).push(function () {
    var asked = recordingAsked();
    if (!asked) return;
    addRunDependency("korvane-recording");
    asked.then(function (r) {
      return unpack(r.name, r.bytes).then(function (data) {
        var path = recordingDir + "/" + (r.name.replace(/[\/\\]/g, "_") || "recording.kvr");
        FS.mkdir(recordingDir);
        FS.writeFile(path, data);
        Module.korvaneRecording = path;
        recording = r;
      });
    }).catch(function (why) {
      note(String(why));
    }).then(function () {
      removeRunDependency("korvane-recording");
    });
  });

  // A recording opened: checked that it unpacks, then the page starts anew
  // with it, once the player's folder is in the storage.
  function openRecording(file) {
    if (file.size > linkMost / 4 * 3) return note(file.name + " is not taken: it is far larger than a recording.");
    var bytes = null;
    return file.arrayBuffer().then(function (data) {
      bytes = new Uint8Array(data);
      return unpack(file.name, bytes);
    }).then(function () {
      if (korvane.ready && !korvane.ended && playing != replayDir &&
          !window.confirm("Watch " + file.name + "? The game running now ends (the missions saved are kept).")) return;
      try {
        sessionStorage.setItem(opened, JSON.stringify({name: file.name, link: toBase64url(bytes)}));
      } catch (e) {
        return note(file.name + " is too large for the page to open (" + e.name + ").");
      }
      history.replaceState(null, "", location.pathname + location.search);
      if (!storage || playing != home) return location.reload();
      FS.syncfs(false, function () { location.reload(); });
    }).catch(function (why) { note(String(why)); });
  }
  var recordings = document.getElementById("recordings");
  document.getElementById("open").addEventListener("click", function (e) {
    e.currentTarget.blur();
    recordings.click();
  });
  recordings.addEventListener("change", function () {
    var file = recordings.files[0];
    recordings.value = "";
    if (file) openRecording(file);
  });
  // Files dropped on the page: a recording is watched, missions uploaded.
  document.addEventListener("dragover", function (e) { e.preventDefault(); });
  document.addEventListener("drop", function (e) {
    e.preventDefault();
    var dropped = Array.prototype.slice.call(e.dataTransfer.files);
    var kvr = dropped.filter(function (f) { return /\.kvr$/i.test(f.name); });
    if (kvr.length) return openRecording(kvr[0]);
    dropped.reduce(function (done, file) {
      return done.then(function () { return upload(file); });
    }, Promise.resolve()).catch(function (error) { note("Upload failed: " + error); });
  });

  // Copy link: the page's address with the recording watched, to the
  // clipboard, or into a field to copy from when the browser refuses that.
  function copyLink() {
    if (!recording || !korvane.watching()) return;
    var link = location.href.split("#")[0] + "#replay=" + toBase64url(recording.bytes);
    function inField(why) {
      linkField.value = link;
      linkField.hidden = false;
      linkField.focus();
      linkField.select();
      note("The browser keeps the clipboard to itself" + (why ? " (" + why.message + ")" : "") +
           ": the link is in the field, selected (Ctrl+C copies it).");
    }
    if (!navigator.clipboard || !window.isSecureContext) return inField(null);
    navigator.clipboard.writeText(link).then(function () {
      linkField.hidden = true;
      note("A link to this recording is on the clipboard (" + link.length + " characters).");
    }, inField);
  }
  copyButton.addEventListener("click", function (e) {
    e.currentTarget.blur();
    copyLink();
  });
  linkField.addEventListener("blur", function () { linkField.hidden = true; });

  // Recordings the game writes (a clip, S; the game taken over, C) are the
  // data inside a .kvr's gzip stream, in the module's memory: the newest is
  // offered, packed with the browser's CompressionStream when downloaded. A
  // taken-over game is still being written: what it holds so far plays to
  // its last whole frame.
  var writtenButton = document.getElementById("written");
  var written = null;
  Module.korvaneRecordingWritten = function (path) {
    written = path;
    writtenButton.hidden = false;
    writtenButton.textContent = "Download " + path.split("/").pop();
    korvane.written.push(path);
  };
  korvane.written = [];
  function packed(data) {
    if (typeof CompressionStream == "undefined")
      return Promise.reject("this browser cannot pack recordings (it has no CompressionStream)");
    var stream = new Blob([data]).stream().pipeThrough(new CompressionStream("gzip"));
    return new Response(stream).arrayBuffer().then(function (b) { return new Uint8Array(b); });
  }
  korvane.packedRecording = function (path) { return packed(FS.readFile(path)); };
  writtenButton.addEventListener("click", function (e) {
    e.currentTarget.blur();
    if (!written) return;
    packed(FS.readFile(written)).then(function (bytes) { save(written.split("/").pop(), bytes); },
      function (error) { note("The recording could not be packed: " + error); });
  });

  // Options: F1 pressed for the game, which shows its options screen.
  document.getElementById("options").addEventListener("click", function (e) {
    e.currentTarget.blur();
    if (korvane.ready && !korvane.ended) Module._webPressKey(0x70);
  });

  // Full screen is the browser's, of the whole page; the game follows its
  // size (ports/web/web.cpp). Module.korvaneFull is where it is going.
  Module.korvaneFull = false;
  var switched = null; // a switch the page made for a key the game sees too
  function fullScreen(full, quiet) {
    var d = document;
    Module.korvaneFull = full;
    if (!full) return d.fullscreenElement ? d.exitFullscreen().catch(function () {}) : null;
    if (d.fullscreenElement) return;
    if (!d.fullscreenEnabled) {
      Module.korvaneFull = false;
      return quiet || note("This browser gives the page no full screen here.");
    }
    d.documentElement.requestFullscreen().catch(function (error) {
      Module.korvaneFull = !!d.fullscreenElement;
      if (!quiet) note("Full screen was refused: " + error);
    });
  }
  document.addEventListener("fullscreenchange", function () {
    Module.korvaneFull = !!document.fullscreenElement;
  });
  // The game's own switch (sysSetDisplay), from a frame: 1 when made or under
  // way, 0 when not. Full screen comes only from the player: within a few
  // seconds of a key or a click in the page (as browsers allow it), never
  // from the settings at start-up. A switch the game asks within a second of
  // the page's own for F11 or Alt+Enter answers the same key: the page made
  // it already (the game, asking where the page is going, may ask the
  // opposite), so it is not made again and counts as made.
  var touched = -Infinity; // when the player last pressed a key or a button
  ["keydown", "mousedown"].forEach(function (type) {
    window.addEventListener(type, function (e) { if (e.isTrusted) touched = performance.now(); }, true);
  });
  Module.korvaneDisplay = function (full) {
    var page = switched, now = performance.now();
    switched = null;
    if (page && now - page.at < 1000) return 1;
    var gesture = now - touched < 4000 &&
                  (!navigator.userActivation || navigator.userActivation.isActive);
    if (full && !document.fullscreenElement && (!gesture || !document.fullscreenEnabled)) return 0;
    fullScreen(full, true);
    return 1;
  };
  document.getElementById("full").addEventListener("click", function (e) {
    e.currentTarget.blur();
    fullScreen(true);
  });
  // F11 and Alt+Enter switch full screen here, where the key's gesture lets
  // the page ask for it; the game sees the keys too, and its own switch for
  // them counts as this one. F1 (the browser's help in some) and F12 (its
  // developer tools in some) are the game's.
  window.addEventListener("keydown", function (e) {
    var enter = e.code == "Enter" || e.code == "NumpadEnter";
    if (e.code == "F11" || (e.altKey && enter && !e.ctrlKey && !e.metaKey)) {
      e.preventDefault();
      if (e.repeat) return;
      var full = !document.fullscreenElement;
      switched = {full: full, at: performance.now()};
      fullScreen(full);
    } else if (e.code == "F1" || e.code == "F12") {
      e.preventDefault();
    } else if (e.code == "KeyL" && !e.repeat && !e.ctrlKey && !e.altKey && !e.metaKey &&
               document.activeElement != linkField) {
      copyLink();
    }
  });
})();
