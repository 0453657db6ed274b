// The game's page in headless chromium (puppeteer-core), against
// korvane-headless: tools/web-check.sh runs it.
//
//   node check.js URL HEADLESS CAMPAIGN WORK [--measure]
//
// Test runs of the page (?seed=5&size=800x600&dt=0.016) step their frames on
// a fixed clock, as korvane-headless does, so a scripted session in the page
// and the same script in korvane-headless give the same frames pixel for
// pixel: the start screen, a mission flown as pilot, the menu, the Save
// screen, the editor; a save kept over a reload, an upload and a shared link
// loaded; the Options button. The display: the frame following the page's
// room at the player's scale, shown enlarged and centred, and the settings
// kept in the browser's storage. A recording watched from a #replay= link:
// its frames run in the viewer with the digests korvane-headless gives them,
// Copy link gives the same link back, and bad links are named. Screenshots,
// the frames compared and the differences go to WORK; a failure names its
// step, the page's last notes and a screenshot of it.
// --measure times frames of a full battle at 1920x1080 instead.
"use strict";
const assert = require("assert");
const {execFileSync} = require("child_process");
const fs = require("fs");
const path = require("path");
const zlib = require("zlib");
const puppeteer = require("puppeteer-core");

const [url, headless, campaign, work] = process.argv.slice(2, 6);
const measure = process.argv.includes("--measure");
const test = "seed=5&size=800x600&dt=0.016";
const errors = []; // console errors and page errors, from every page
let stage = "starting", current = null; // the check's step and its page, for a failure's report

function step(what) {
  stage = what;
  console.log("step: " + what);
}

// The RGB pixels of a PNG (8-bit RGB or RGBA, not interlaced).
function readPng(bytes) {
  let at = 8, width = 0, height = 0, channels = 0;
  const data = [];
  while (at < bytes.length) {
    const size = bytes.readUInt32BE(at), type = bytes.toString("latin1", at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + size);
    if (type == "IHDR") {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      assert(body[8] == 8 && (body[9] == 2 || body[9] == 6) && body[12] == 0, "an unusual PNG");
      channels = body[9] == 2 ? 3 : 4;
    }
    if (type == "IDAT") data.push(body);
    at += 12 + size;
  }
  const raw = zlib.inflateSync(Buffer.concat(data)), row = width * channels;
  const out = Buffer.alloc(width * height * 3), line = Buffer.alloc(row), last = Buffer.alloc(row);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (row + 1)], input = raw.subarray(y * (row + 1) + 1, (y + 1) * (row + 1));
    for (let x = 0; x < row; ++x) {
      const a = x >= channels ? line[x - channels] : 0, b = last[x];
      const c = x >= channels ? last[x - channels] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const predict = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
      line[x] = (input[x] + predict) & 255;
    }
    for (let x = 0; x < width; ++x) line.copy(out, (y * width + x) * 3, x * channels, x * channels + 3);
    line.copy(last);
  }
  return {width, height, rgb: out};
}

// The page's frame as it is on its canvas.
async function canvasFrame(page) {
  const dataUrl = await page.evaluate(() => document.getElementById("screen").toDataURL("image/png"));
  return Buffer.from(dataUrl.split(",")[1], "base64");
}

// Input events of a session, by frame: each takes effect before its frame runs.
const keys = {Up: "ArrowUp", Down: "ArrowDown", Left: "ArrowLeft", Right: "ArrowRight", Shift: "ShiftLeft",
              Control: "ControlLeft", Enter: "Enter", Escape: "Escape", Space: "Space", Home: "Home",
              End: "End", Comma: "Comma", Period: "Period", BracketLeft: "BracketLeft",
              BracketRight: "BracketRight"};
function press(frame, key, hold = 2) {
  return [[frame, "down", key], [frame + hold, "up", key]];
}
function typed(frame, text) {
  return [...text].flatMap((c, i) => press(frame + 4 * i, c));
}
// A button of the page's bar clicked, and the key it presses for the game,
// held for two frames (webPressKey), as korvane-headless's script has it.
const buttons = {options: "0x70"};
function click(frame, button) {
  return [[frame, "click", button]];
}
function headlessEvents(events) {
  return events.flatMap((e) => e[1] != "click" ? [e] :
                        [[e[0], "down", buttons[e[2]]], [e[0] + 2, "up", buttons[e[2]]]])
               .sort((a, b) => a[0] - b[0]);
}

function scriptFile(name, events) {
  const flat = (e) => (typeof e[0] == "number" ? [e] : e.flatMap(flat));
  events = flat(events).sort((a, b) => a[0] - b[0]);
  const script = path.join(work, name + ".script");
  fs.writeFileSync(script, headlessEvents(events).map((e) => e.join(" ")).join("\n") + "\n");
  return [script, events];
}

// Runs a session in the page, stepping its frames, and the same in
// korvane-headless in `dir`, or watching the recording `watched` in its
// viewer; compares the frames of `shots` pixel for pixel (a viewer's above
// its timeline, which shows how far the run ahead got, and that goes by the clock).
async function session(page, name, dir, events, shots, watched = null) {
  const [script, flat] = scriptFile(name, events);
  events = flat;
  const last = Math.max(...shots.map((s) => s[0]));
  const args = ["--dt", "0.016", "--frames", String(last), "--script", script].concat(
    watched ? ["--replay", watched, "--watch"] : ["--seed", "5", "--size", "800x600", "--dir", dir]);
  for (const [frame, shot] of shots) args.push("--shot", `${frame}:${path.join(work, shot + ".native.png")}`);
  execFileSync(headless, args, {stdio: ["ignore", "ignore", "inherit"]});

  let shown = await page.evaluate(() => korvane.step(0));
  for (const [frame, shot] of shots) {
    for (const [at, what, key] of events.filter((e) => e[0] <= frame && e[0] > shown)) {
      shown = await page.evaluate((n) => korvane.step(n), at - 1 - shown);
      const code = keys[key] || (/[0-9]/.test(key) ? "Digit" + key : "Key" + key);
      if (what == "click") await page.click("#" + key);
      else await (what == "down" ? page.keyboard.down(code) : page.keyboard.up(code));
    }
    shown = await page.evaluate((n) => korvane.step(n), frame - shown);
    assert.equal(shown, frame, `${name}: the page's game stopped at frame ${shown}`);
    const png = await canvasFrame(page);
    fs.writeFileSync(path.join(work, shot + ".web.png"), png);
    same(readPng(png), readPng(fs.readFileSync(path.join(work, shot + ".native.png"))), shot, frame,
         watched ? 30 : 0);
  }
}

function same(web, native, what, frame, foot = 0) {
  assert.deepEqual([web.width, web.height], [native.width, native.height], what + ": sizes differ");
  let differ = 0, first = -1;
  for (let i = 0; i < (web.height - foot) * web.width * 3; i += 3) {
    if (web.rgb[i] != native.rgb[i] || web.rgb[i + 1] != native.rgb[i + 1] || web.rgb[i + 2] != native.rgb[i + 2]) {
      if (first < 0) first = i / 3;
      ++differ;
    }
  }
  assert.equal(differ, 0, `${what} (frame ${frame}): ${differ} pixels differ from korvane-headless's, ` +
               `the first at (${first % web.width}, ${Math.floor(first / web.width)})`);
  console.log(`ok: ${what}: frame ${frame} is korvane-headless's, pixel for pixel`);
}

function folderWith(name, missions) {
  const dir = path.join(work, name);
  fs.rmSync(dir, {recursive: true, force: true});
  fs.mkdirSync(dir, {recursive: true});
  for (const [as, from] of Object.entries(missions)) fs.copyFileSync(from, path.join(dir, as));
  return dir;
}

function campaignFiles() {
  const files = {};
  for (const f of fs.readdirSync(campaign)) if (/^kvxmap\..{4}\.kvx$/.test(f)) files[f] = path.join(campaign, f);
  return files;
}

function link(file) {
  return "#mission=" + fs.readFileSync(file).toString("base64url");
}

async function open(browser, address, dialogs = []) {
  const page = await browser.newPage();
  await page.setViewport({width: 1024, height: 700});
  page.on("console", (m) => { if (m.type() == "error") errors.push(m.text()); });
  page.on("pageerror", (e) => errors.push(e.message));
  page.on("dialog", (d) => { dialogs.push(d.message()); d.accept(); });
  current = page;
  await page.goto(url + address, {waitUntil: "load"});
  await page.waitForFunction(() => window.korvane && (korvane.ready || korvane.ended), {timeout: 30000});
  return page;
}

// Where the canvas is in its room (the page below the bar), in CSS pixels,
// and the frame's size.
function shownCanvas(page) {
  return page.evaluate(() => {
    const c = document.getElementById("screen");
    const room = c.parentElement.getBoundingClientRect(), r = c.getBoundingClientRect();
    return {frame: [c.width, c.height], room: [room.width, room.height], ratio: devicePixelRatio,
            at: [r.left - room.left, r.top - room.top], size: [r.width, r.height]};
  });
}

// The real page's display: the settings kept in the browser's storage (the
// mission loaded at start is their progress); a scale of 2 read from there
// makes the frame half the room's device pixels, shown twice as large and
// centred; the frame follows the room when the page changes size, and in
// full screen (F11).
async function display(page) {
  const kept = await page.evaluate(() => localStorage.getItem("korvane.settings"));
  assert(kept && kept.includes("kvxmap.AAAA.kvx"),
         "the settings were not kept in the browser's storage (korvane.settings): " + kept);
  console.log("ok: the settings are kept in the browser's storage");
  await page.evaluate(() => localStorage.setItem("korvane.settings", "[display]\nscale = 2\n"));
  await page.setViewport({width: 901, height: 500});
  await page.reload({waitUntil: "load"});
  await page.waitForFunction(() => window.korvane && korvane.ready && korvane.step(0) > 5,
                             {timeout: 30000});
  for (const viewport of [null, {width: 640, height: 480}]) {
    if (viewport) {
      await page.setViewport(viewport);
      await page.waitForFunction(() => {
        const c = document.getElementById("screen"), room = c.parentElement;
        return c.width == Math.floor(Math.round(room.clientWidth * devicePixelRatio) / 2);
      }, {timeout: 5000}).catch(() => {});
    }
    const s = await shownCanvas(page);
    const room = s.room.map((v) => Math.round(v * s.ratio));
    const what = `at scale 2 in a room of ${room.join("x")} device pixels`;
    await page.screenshot({path: path.join(work, `scale2-${room.join("x")}.png`)});
    assert.deepEqual(s.frame, room.map((v) => Math.floor(v / 2)), `${what}: the frame is ${s.frame.join("x")}`);
    for (const i of [0, 1]) {
      assert(Math.abs(s.size[i] * s.ratio - 2 * s.frame[i]) < 0.5,
             `${what}: the ${s.frame.join("x")} frame is shown ${s.size.join("x")} CSS pixels, not twice its size`);
      assert(Math.abs(s.room[i] - s.size[i] - 2 * s.at[i]) <= 1,
             `${what}: the frame is not centred (at ${s.at.join(", ")}, ${s.size.join("x")})`);
    }
    console.log(`ok: ${what}, the frame is ${s.frame.join("x")}, shown twice its size, centred`);
  }
  // F11: full screen, made by the page within the key's gesture; the game's
  // own switch for the same key must not undo it. The bar goes, and the
  // frame follows the whole screen. F11 again: back to the page.
  for (const full of [true, false]) {
    await page.keyboard.press("F11");
    await new Promise((r) => setTimeout(r, 1000));
    const now = await page.evaluate(() => korvane.fullScreen());
    assert.equal(now, full, `F11 left the page ${now ? "in" : "out of"} full screen` +
                 (full ? " (or the game's own switch for it undid the page's)" : ""));
    const s = await shownCanvas(page);
    const room = s.room.map((v) => Math.round(v * s.ratio));
    assert.equal(full, room[1] == Math.round(480 * s.ratio),
                 `${full ? "in" : "out of"} full screen the room is ${room.join("x")}`);
    assert.deepEqual(s.frame, room.map((v) => Math.floor(v / 2)),
                     `the frame (${s.frame.join("x")}) did not follow the room (${room.join("x")})`);
  }
  console.log("ok: F11 brings the page to full screen and back, and the frame follows");
  await page.evaluate(() => localStorage.removeItem("korvane.settings"));
}

async function checks(browser) {
  // The real game: frames at 60 a second on the page's clock, the start screen drawn.
  step("the real game: its pace, its sound, its display");
  let page = await open(browser, "");
  // Frames over the page's own clock: the time a call into the page takes on
  // a loaded machine must not count as frames.
  const count = () => page.evaluate(() => [korvane.step(0), performance.now()]);
  const before = await count();
  await new Promise((r) => setTimeout(r, 2000));
  const after = await count();
  const rate = Math.round((after[0] - before[0]) / ((after[1] - before[1]) / 1000) * 10) / 10;
  await page.screenshot({path: path.join(work, "start.png")});
  // Never faster than 60; a loaded machine may give fewer.
  assert(rate > 30 && rate < 65, `the page ran ${rate} frames a second, not 60`);
  console.log(`ok: the page runs ${rate} frames a second`);
  // No sound before a gesture; the first key starts it.
  assert.equal((await page.evaluate(() => korvane.sound())).state, "none");
  await page.keyboard.press("ShiftLeft");
  await page.waitForFunction(() => korvane.sound().queued > 0.5, {timeout: 5000});
  console.log("ok: the first key starts the sound");
  await display(page);
  await page.close();

  // A session compared with korvane-headless: the start screen, a mission
  // flown as pilot, the menu, a save through the Save screen, the editor.
  step("a session compared with korvane-headless");
  const played = folderWith("played", campaignFiles());
  page = await open(browser, `?${test}&frames=1`);
  await session(page, "session", played, [
    press(61, "C"),
    press(100, "Up", 200), press(150, "Left", 40), press(200, "Shift", 80),
    press(330, "Escape"), // the menu, with Exit chosen
    press(360, "Down"), press(370, "Down"), press(380, "Down"), press(390, "Enter"),
    typed(400, "WEB1"), press(440, "Enter"),
    press(450, "Down"), press(460, "Enter"),
    click(495, "options"),
  ], [[60, "start"], [320, "pilot"], [350, "menu"], [430, "save"], [490, "editor"], [520, "options"]]);
  await page.screenshot({path: path.join(work, "editor.png")});

  step("the Download button");
  // The Download button gives the mission just saved, as korvane-headless saved it.
  const downloads = path.join(work, "downloads");
  fs.rmSync(downloads, {recursive: true, force: true});
  const cdp = await browser.target().createCDPSession();
  await cdp.send("Browser.setDownloadBehavior", {behavior: "allow", downloadPath: downloads});
  await page.click("#download");
  const saved = path.join(downloads, "kvxmap.WEB1.kvx");
  // The browser may show the file before it has written all of it: wait for the whole of it.
  const expected = fs.readFileSync(path.join(played, "kvxmap.WEB1.kvx"));
  const whole = () => fs.existsSync(saved) && fs.statSync(saved).size >= expected.length;
  for (let i = 0; i < 100 && !whole(); ++i) await new Promise((r) => setTimeout(r, 100));
  assert(fs.existsSync(saved), "the Download button gave no kvxmap.WEB1.kvx");
  assert(fs.readFileSync(saved).equals(expected),
         "the mission downloaded is not the one korvane-headless saved");
  console.log("ok: the mission saved downloads as korvane-headless saved it");
  await new Promise((r) => setTimeout(r, 600)); // the folder goes to the storage within 250 ms
  await page.close();

  step("a reload, an upload");
  // After a reload the save is still there; an uploaded mission is taken too.
  // Both load, as they do in korvane-headless.
  fs.copyFileSync(path.join(campaign, "kvxmap.EEEE.kvx"), path.join(played, "kvxmap.UPLD.kvx"));
  page = await open(browser, `?${test}&frames=1`);
  const files = await page.evaluate(() => korvane.files());
  assert(files.includes("kvxmap.WEB1.kvx"), "the saved mission is gone after a reload: " + files);
  const input = await page.$("#files");
  await input.uploadFile(path.join(played, "kvxmap.UPLD.kvx"));
  await page.waitForFunction(() => korvane.files().includes("kvxmap.UPLD.kvx"), {timeout: 5000});
  // Escape twice: the menu, with Exit chosen whatever was held before.
  const load = (at, name) => [press(at, "Escape"), press(at + 10, "Escape"), press(at + 20, "Down"),
                              press(at + 30, "Down"), press(at + 40, "Enter"), typed(at + 50, name),
                              press(at + 70, "Enter")];
  await session(page, "reloaded", played, [load(30, "WEB1"), load(140, "UPLD")],
                [[130, "saved-loaded"], [240, "uploaded-loaded"]]);
  await page.close();

  step("a mission shared as a link");
  // A link's mission is the first mission, in a folder of its own.
  const linked = folderWith("linked", {...campaignFiles(), "kvxmap.AAAA.kvx": path.join(campaign, "kvxmap.GGGG.kvx")});
  page = await open(browser, `?${test}&frames=1` + link(path.join(campaign, "kvxmap.GGGG.kvx")));
  await session(page, "linked", linked, [press(10, "Enter")], [[120, "link"], [900, "link-battle"]]);
  await page.screenshot({path: path.join(work, "battle.png")});
  assert.equal(await page.evaluate(() => korvane.folder()), "/link");
  const own = await page.evaluate(() => korvane.files("/home/korvane"));
  assert(own.includes("kvxmap.WEB1.kvx"), "the player's folder lost its save: " + own);
  await page.close();

  // A bad link: the game's own message about the first mission, and the reason.
  const dialogs = [];
  page = await open(browser, `?${test}&frames=3#mission=not*base64`, dialogs);
  await page.waitForFunction(() => korvane.step(0) == 3);
  assert.deepEqual(dialogs, ["kvxmap.AAAA.kvx\n\nFailed to load file!\nFile not found or Access denied!"]);
  const notes = await page.evaluate(() => korvane.notes);
  assert(notes.some((n) => n.includes("not url-safe base64")), "no reason for the bad link: " + notes);
  console.log("ok: a bad link gives the game's own message");
  await page.close();

  await recordings(browser);

  assert.deepEqual(errors, [], "the console showed errors");
  console.log("ok: no errors on the console");
}

// A recording watched from a link: a mission flown, recorded by
// korvane-headless (a short flight: a longer one parts from the Linux game's
// in the browser, whose sin and cos differ from glibc's in the last bit; see
// README.md, "The browser"). The viewer's keys in the page give
// korvane-headless's viewer's pictures, and each digest the page prints
// (frames run ahead, and again after a seek back) is that of korvane-headless
// playing the recording. Copy link and L give the link back; bad links are
// named, and the game plays.
async function recordings(browser) {
  step("a recording made by korvane-headless, watched from a #replay= link");
  const flown = path.join(work, "flown.kvr");
  const [script] = scriptFile("flown", [press(61, "C"), press(100, "Up", 150), press(150, "Left", 40),
                                        press(200, "Shift", 60)]);
  execFileSync(headless, ["--seed", "5", "--size", "800x600", "--dt", "0.016", "--frames", "300", "--script",
                          script, "--dir", folderWith("flown", campaignFiles()), "--record", flown]);
  const bytes = fs.readFileSync(flown);
  const native = new Map(execFileSync(headless, ["--replay", flown, "--digest", "50"]).toString()
                         .split("\n").filter((l) => l.startsWith("digest ")).map((l) => l.split(" ").slice(1)));
  const address = "?dt=0.016&frames=1&digest=50#replay=" + bytes.toString("base64url");
  await browser.defaultBrowserContext().overridePermissions(new URL(url).origin, ["clipboard-read", "clipboard-sanitized-write"]);
  let page = await open(browser, address);
  const seen = [];
  page.on("console", (m) => { const d = /^digest (\d+) (\w+)$/.exec(m.text()); if (d) seen.push(d.slice(1)); });
  assert(await page.evaluate(() => korvane.watching()), "the recording is not watched");
  const before = await page.evaluate(() => korvane.replayFrame());
  await session(page, "watched", null, [
    press(30, "Space"), press(60, "Space"), press(80, "Period"), press(90, "Period"), press(100, "Comma"),
    press(120, "Space"), press(130, "BracketRight"), press(150, "BracketRight"), press(180, "BracketLeft"),
    press(190, "Home"), press(220, "Shift", 6), press(222, "Right"), press(250, "Control", 6),
    press(252, "Left"), press(270, "Left"),
  ], [[50, "watch-paused"], [110, "watch-steps"], [170, "watch-faster"], [210, "watch-home"],
      [240, "watch-end"], [290, "watch-back"]], flown);
  const after = await page.evaluate(() => korvane.replayFrame());
  assert(after > before, `the recording's frames did not advance: ${before}, then ${after}`);
  for (const frame of native.keys())
    assert(seen.some((d) => d[0] == frame), `the page printed no digest of frame ${frame}: ${seen}`);
  for (const [frame, digest] of seen)
    assert.equal(digest, native.get(frame), `frame ${frame} of the recording watched is not korvane-headless's`);
  console.log(`ok: a recording watched from a link, its frames run (the viewer at frame ${after} after ` +
              `its keys), its ${seen.length} digests korvane-headless's`);

  step("Copy link and L while watching");
  await page.bringToFront();
  await page.click("#copy");
  await page.waitForFunction(() => korvane.notes.slice(-1)[0].includes("on the clipboard"), {timeout: 5000});
  assert.equal(await page.evaluate(() => navigator.clipboard.readText()), url + address);
  await browser.defaultBrowserContext().overridePermissions(new URL(url).origin, []); // the clipboard refused
  await page.keyboard.press("KeyL");
  await page.waitForFunction(() => !document.getElementById("link").hidden, {timeout: 5000});
  assert.equal(await page.$eval("#link", (f) => f.value), url + address);
  console.log("ok: Copy link puts the recording's link on the clipboard, and L in the field when it is refused");

  step("a clip (I, O, S) and the game taken over (C), downloaded as recordings");
  const hit = async (code) => {
    await page.keyboard.down(code);
    await page.evaluate(() => korvane.step(2));
    await page.keyboard.up(code);
    await page.evaluate(() => korvane.step(2));
  };
  await page.focus("#screen");
  await hit("Home");
  await hit("KeyI");
  await hit("End"); // the whole recording, its checkpoints with it
  await page.evaluate(() => korvane.step(10));
  await hit("KeyO");
  await hit("KeyS");
  const download = async (name, at) => {
    const packed = await page.evaluate(async (p) => Array.from(await korvane.packedRecording(p)), at);
    fs.writeFileSync(path.join(work, name), Buffer.from(packed));
    return path.join(work, name);
  };
  let written = await page.evaluate(() => korvane.written);
  assert.equal(written.length, 1, "no clip was written: " + (await page.evaluate(() => korvane.notes)).join(" | "));
  const clip = await download("clip.kvr", written[0]);
  execFileSync(headless, ["--replay", clip], {stdio: ["ignore", "ignore", "inherit"]}); // its digests check out
  const taken = await page.evaluate(() => korvane.replayFrame());
  await hit("KeyC");
  await page.evaluate(() => korvane.step(60)); // flown on live, recorded
  written = await page.evaluate(() => korvane.written);
  assert.equal(written.length, 2, "the take-over wrote no recording");
  const takeOver = await download("taken.kvr", written[1]);
  let ended = "";
  try {
    execFileSync(headless, ["--replay", takeOver], {stdio: ["ignore", "ignore", "pipe"]});
  } catch (e) {
    ended = e.stderr.toString(); // 3: still being written, so it ends early
    assert.equal(e.status, 3, "the taken-over game's recording: " + ended);
  }
  const frames = Number((/ends early at frame (\d+)/.exec(ended) || [0, 0])[1]);
  assert(frames > taken + 30, `the taken-over recording plays ${frames} frames, taken at ${taken}`);
  console.log(`ok: a clip downloaded plays back checked; the game taken over at frame ${taken} is ` +
              `recorded on, ${frames} frames so far`);
  await page.close();

  // Bad links: each named in the bar, and the game plays as ever.
  const cut = bytes.subarray(0, bytes.length - (bytes.length >> 3)).toString("base64url"); // after the mission read
  const junk = zlib.gzipSync(Buffer.from("not a recording")).toString("base64url");
  for (const [link, reason, watched] of [
    ["#replay=not*base64", "the link's recording is not url-safe base64", false],
    ["#replay=" + Buffer.from("plain").toString("base64url"), "it is not a recording (not gzip data)", false],
    ["#replay=" + junk, "the link's recording: it is not a recording (no KVXREC mark)", false],
    ["#replay-url=/nothing.kvr", "nothing.kvr could not be fetched (404", false],
    ["#replay=" + cut, "", true], // cut off: played to its last whole frame
  ]) {
    step("a bad recording link: " + link.slice(0, 40));
    page = await open(browser, "?dt=0.016&frames=1" + link);
    await page.waitForFunction(() => korvane.step(0) == 1);
    const notes = await page.evaluate(() => korvane.notes);
    assert(notes.some((n) => n.includes(reason)), `no note "${reason}": ${notes.join(" | ")}`);
    assert.equal(await page.evaluate(() => korvane.watching()), watched, "watching: " + notes.join(" | "));
    assert.equal(await page.evaluate(() => korvane.step(5)), 6, "the game did not play on");
    await page.close();
    errors.splice(0, errors.length, ...errors.filter((e) => !e.includes("404 (Not Found)"))); // nothing.kvr's
  }
  console.log("ok: bad recording links are named in the bar and the game plays; a cut-off one is watched");
}

// Frames of a full battle (GGGG, watched as spectator) at 1920x1080: unpaced
// (frames stepped back to back) and paced (the real game on the page's clock).
async function timings(browser) {
  const battle = link(path.join(campaign, "kvxmap.GGGG.kvx"));
  const spread = (t) => {
    t.sort((a, b) => a - b);
    const at = (q) => t[Math.min(t.length - 1, Math.floor(q * t.length))].toFixed(2);
    return `median ${at(0.5)} ms, 95th percentile ${at(0.95)} ms, worst ${t[t.length - 1].toFixed(2)} ms (${t.length} frames)`;
  };
  let page = await open(browser, "?seed=5&size=1920x1080&dt=0.016667&frames=1" + battle);
  await page.keyboard.down("Enter");
  await page.evaluate(() => korvane.step(1));
  await page.keyboard.up("Enter");
  await page.evaluate(() => korvane.step(399));
  const stepped = await page.evaluate(() => {
    const t = [];
    for (let i = 0; i < 300; ++i) {
      const start = performance.now();
      korvane.step(1);
      t.push(performance.now() - start);
    }
    return t;
  });
  console.log("unpaced, frames back to back: " + spread(stepped));
  await page.close();

  page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    // Each animation frame's work, and the time between frames that ran.
    const raf = window.requestAnimationFrame.bind(window);
    window.frameTimes = {work: [], between: [], last: 0};
    window.requestAnimationFrame = (callback) => raf((t) => {
      const before = window.korvane && korvane.ready ? korvane.step(0) : 0;
      const start = performance.now();
      callback(t);
      const f = window.frameTimes;
      if (window.korvane && korvane.ready && korvane.step(0) > before && before > 400) {
        f.work.push(performance.now() - start);
        if (f.last) f.between.push(start - f.last);
        f.last = start;
      }
    });
  });
  await page.setViewport({width: 1920, height: 1200});
  await page.goto(url + "?seed=5&size=1920x1080" + battle, {waitUntil: "load"});
  await page.waitForFunction(() => window.korvane && korvane.ready);
  await page.keyboard.press("Enter");
  await page.waitForFunction(() => frameTimes.work.length >= 600, {timeout: 60000, polling: 500});
  const paced = await page.evaluate(() => frameTimes);
  await page.screenshot({path: path.join(work, "full-battle.png")});
  console.log("paced at 60 a second, work of a frame: " + spread(paced.work));
  console.log("paced at 60 a second, frame to frame: " + spread(paced.between));
  await page.close();
}

(async () => {
  const profile = path.join(work, "profile");
  fs.rmSync(profile, {recursive: true, force: true});
  const browser = await puppeteer.launch({
    executablePath: process.env.KORVANE_CHROMIUM || "/usr/bin/chromium",
    userDataDir: profile,
    headless: true,
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
  try {
    await (measure ? timings(browser) : checks(browser));
  } catch (e) {
    e.report = await failureReport();
    throw e;
  } finally {
    await browser.close();
  }
})().catch((e) => {
  console.error(`web check failed at step "${stage}": ` + (e.stack || e));
  if (e.report) console.error(e.report);
  if (errors.length) console.error("console errors:\n" + errors.join("\n"));
  process.exit(1);
});

// The page the check was on: its last notes and a screenshot, within seconds.
async function failureReport() {
  if (!current || current.isClosed()) return "";
  const shot = path.join(work, "failed.png");
  const report = Promise.all([
    current.evaluate(() => (window.korvane ? korvane.notes.slice(-5) : [])),
    current.screenshot({path: shot}),
  ]).then(([notes]) => `the page's last notes: ${notes.join(" | ")}\nscreenshot: ${shot}`);
  const late = new Promise((r) => setTimeout(() => r("the page gave no report (it hangs)"), 5000));
  return Promise.race([report, late]).catch((e) => "no report from the page: " + e.message);
}
