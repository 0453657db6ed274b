// A static file server for the game's page, on the loopback address only:
//   node tools/web-serve.js DIR [PORT]
// PORT 0 (the default) takes a free port. Prints "serving http://127.0.0.1:PORT/"
// once it listens. Only GET and HEAD of files inside DIR are served.
"use strict";
const http = require("http");
const fs = require("fs");
const path = require("path");

const root = path.resolve(process.argv[2] || ".");
const port = Number(process.argv[3] || 0);
const types = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".wasm": "application/wasm",
  ".kvx": "application/octet-stream",
  ".png": "image/png",
};

const server = http.createServer((req, res) => {
  if (req.method !== "GET" && req.method !== "HEAD") {
    res.writeHead(405).end();
    return;
  }
  let name = decodeURIComponent(new URL(req.url, "http://x").pathname);
  if (name.endsWith("/")) name += "index.html";
  const file = path.join(root, path.normalize(name));
  if (!file.startsWith(root + path.sep)) {
    res.writeHead(403).end();
    return;
  }
  fs.readFile(file, (error, data) => {
    if (error) {
      res.writeHead(404, {"Content-Type": "text/plain"}).end("not found\n");
      return;
    }
    res.writeHead(200, {
      "Content-Type": types[path.extname(file)] || "application/octet-stream",
      "Cache-Control": "no-cache",
    });
    res.end(req.method === "HEAD" ? undefined : data);
  });
});
server.listen(port, "127.0.0.1", () => {
  console.log(`serving http://127.0.0.1:${server.address().port}/`);
});
