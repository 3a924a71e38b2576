#include "exchange/HtmlFormat.h"

#include "exchange/ExportOutput.h"
#include "exchange/ExportScan.h"
#include "exchange/JsonText.h"

namespace orvik {

namespace {

constexpr const char* PageStart = R"PAGE(<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>%TITLE%</title>
<style>
body{font-family:sans-serif;margin:1em 2em;color:#222}
h1{font-size:1.4em}
summary{cursor:pointer;padding:.2em 0}
summary .d{color:#555}
table{border-collapse:collapse;margin:.3em 0 .8em 1.5em}
td,th{padding:.1em .8em;text-align:left;vertical-align:top}
td.n{text-align:right;font-variant-numeric:tabular-nums}
tr.dir td{font-weight:bold;padding-top:.5em}
#found{margin:.5em 0}
input{font-size:1em;width:24em}
</style></head><body>
<h1>%TITLE%</h1>
<p><label>Find a file or directory: <input id="q" type="search" placeholder="part of a name"></label></p>
<div id="found"></div>
)PAGE";

constexpr const char* PageEnd = R"PAGE(
<script>
"use strict";
const esc = s => s.replace(/[&<>"]/g, c => ({"&":"&amp;","<":"&lt;",">":"&gt;","\"":"&quot;"})[c]);
const data = {};
function volumeData(n) {
  if (!data[n]) data[n] = JSON.parse(document.getElementById("d" + n).textContent);
  return data[n];
}
function fileRows(dirs) {
  let html = "";
  for (const [dir, files] of dirs) {
    html += "<tr class=dir><td colspan=4>" + esc(dir) + "</td></tr>";
    for (const f of files)
      html += "<tr><td>" + esc(f[0]) + "</td><td>" + esc(f[1]) + "</td><td class=n>" + esc(f[2]) +
              "</td><td>" + esc(f[3]) + "</td></tr>";
  }
  return html;
}
for (const volume of document.querySelectorAll("details.volume")) {
  volume.addEventListener("toggle", () => {
    if (!volume.open || volume.dataset.shown) return;
    volume.dataset.shown = "1";
    volume.insertAdjacentHTML("beforeend",
      "<table><tr><th>File</th><th>Date</th><th>Length</th><th>Checksum</th></tr>" +
      fileRows(volumeData(volume.dataset.n)) + "</table>");
  });
}
const shownAtMost = 1000;
function find(text) {
  const found = document.getElementById("found");
  const wanted = text.trim().toUpperCase();
  if (!wanted) { found.innerHTML = ""; return; }
  let rows = "", count = 0;
  for (const volume of document.querySelectorAll("details.volume")) {
    const label = volume.dataset.label;
    for (const [dir, files] of volumeData(volume.dataset.n))
      for (const f of files)
        if (f[0].toUpperCase().includes(wanted) || dir.toUpperCase().includes(wanted)) {
          if (++count <= shownAtMost)
            rows += "<tr><td>" + esc(label) + "</td><td>" + esc(dir) + "</td><td>" + esc(f[0]) +
                    "</td><td>" + esc(f[1]) + "</td><td class=n>" + esc(f[2]) + "</td></tr>";
        }
  }
  found.innerHTML = "<p>" + count + (count === 1 ? " match" : " matches") +
    (count > shownAtMost ? " (the first " + shownAtMost + " shown)" : "") + "</p>" +
    (count ? "<table><tr><th>Volume</th><th>Directory</th><th>File</th><th>Date</th>" +
             "<th>Length</th></tr>" + rows + "</table>" : "");
}
const box = document.getElementById("q");
let pending;
box.addEventListener("input", () => { clearTimeout(pending); pending = setTimeout(() => find(box.value), 250); });
// A link may carry its search: page.html#search=readme
const hash = decodeURIComponent(location.hash.slice(1));
if (hash.startsWith("search=")) { box.value = hash.slice(7); find(box.value); }
</script>
</body></html>
)PAGE";

QByteArray escaped(const QByteArray& text) {
    return QString::fromUtf8(text).toHtmlEscaped().toUtf8();
}

class HtmlExport : public ExportSink {
public:
    explicit HtmlExport(ExportOutput& out) : m_out(out) {}

    void begin(const QByteArray& catalogue) override {
        m_out.append(
            QByteArray(PageStart).replace("%TITLE%", "Orvik catalogue " + escaped(catalogue)));
    }
    void volume(const ExportedVolume& volume) override {
        closeVolume();
        ++m_volumes;
        const QByteArray n = QByteArray::number(m_volumes);
        m_line = "<details class=volume data-n=\"" + n + "\" data-label=\"" +
                 escaped(volume.label) + "\"><summary><b>" + escaped(volume.label) +
                 "</b> <span class=d>" + escaped(volume.description);
        if (!volume.keywords.isEmpty()) m_line += " \xE2\x80\x93 " + escaped(volume.keywords);
        if (!volume.location.isEmpty()) m_line += " \xE2\x80\x93 " + escaped(volume.location);
        if (volume.identity)
            m_line += " \xE2\x80\x93 scanned " + escaped(volume.identity->scanned.toUtf8());
        m_line +=
            "</span></summary></details>\n<script type=\"application/json\" id=\"d" + n + "\">[";
        m_out.append(m_line);
        m_directories = 0;
    }
    void directory(const QByteArray& path) override {
        m_line = m_directories ? "]],\n[" : "\n[";
        appendJsonString(m_line, view(path), true);
        m_line += ",[";
        m_out.append(m_line);
        ++m_directories;
        m_files = 0;
    }
    void file(const ExportedFile& file) override {
        m_line = m_files ? ",[" : "[";
        appendJsonString(m_line, file.file, true);
        m_line += ',';
        appendJsonString(m_line, file.date, true);
        m_line += ',';
        appendJsonString(m_line, file.length, true);
        m_line += ',';
        appendJsonString(m_line, file.checksum, true);
        m_line += ']';
        m_out.append(m_line);
        ++m_files;
    }
    void end() override {
        closeVolume();
        m_out.append(PageEnd);
    }

private:
    void closeVolume() {
        if (m_volumes) m_out.append(m_directories ? "]]]</script>\n" : "]</script>\n");
    }

    ExportOutput& m_out;
    QByteArray m_line;
    std::int64_t m_volumes = 0, m_directories = 0, m_files = 0;
};

} // namespace

std::unique_ptr<ExportSink> htmlExport(ExportOutput& out) {
    return std::make_unique<HtmlExport>(out);
}

} // namespace orvik
