// The page around the game, run before the game's module starts (emscripten's
// --pre-js): the player's folder in the browser's storage (IDBFS), kept
// there a moment after each save; the Download, Upload, Options and Full
// screen buttons; the keys the page takes for itself (F11 and Alt+Enter switch
// full screen, within the key's gesture as the browser wants); the bar's
// notes; and window.korvane, what a test of the page reads.
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
  Module.printErr = function (text) { console.warn(text); };
  Module.korvaneStarted = function (folder, own) {
    playing = folder;
    korvane.ready = true;
    note(own ? "Missions you save are kept in this browser."
             : "Playing the mission of the link: missions saved now are not kept " +
               "(open the page without the link for your own folder).");
    noteLine.textContent = korvane.notes.join(" | "); // what the start found stays in view
    persist();
  };
  Module.korvaneEnded = function () {
    korvane.ended = true;
    note("The game has ended. Reload the page to play again.");
  };
  korvane.step = function (frames) { return Module._webStep(frames); };
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
    }
  });
})();
