#include "summary/summary_report.h"

#include <cstdio>
#include <fstream>

#include "summary/number_text.h"
#include "summary/utf8_path.h"

namespace {

constexpr const char* Style = R"(
body{font-family:"DejaVu Sans","Segoe UI",Arial,sans-serif;color:#1d1d1d;margin:1.5em auto;max-width:60em;padding:0 1em;line-height:1.35}
h1{font-size:1.5em;margin:0 0 .2em}h2{font-size:1.2em;margin:1.2em 0 .4em;border-bottom:2px solid #2b6cb0}
.source{color:#555;margin:0 0 1em}
.headline{display:flex;flex-wrap:wrap;gap:.5em;margin:.5em 0}
.headline div{background:#eef4fb;border-radius:4px;padding:.35em .7em;min-width:8.5em}
.headline b{display:block;font-size:1.25em}.headline span{font-size:.8em;color:#444}
svg.section{width:100%;height:auto;max-height:24em;border:1px solid #ccc;background:#fff}
svg .ground{fill:#b89b72}svg .water{fill:#cfe6f7}svg .surface{stroke:#2b6cb0;stroke-width:2}
svg .vertical{stroke:#555;stroke-width:.6}svg .flagged{stroke:#d62728;stroke-width:1.5;stroke-dasharray:4 3}
svg .mark{fill:#d62728}svg text{font-size:12px;fill:#333}
.legend span{display:inline-block;margin-right:1em;font-size:.85em}
.legend i{display:inline-block;width:.9em;height:.9em;margin-right:.3em;vertical-align:middle}
table{border-collapse:collapse;width:100%;font-size:.9em;margin:.6em 0}
th,td{border:1px solid #bbb;padding:.15em .4em;text-align:right}th{background:#eef4fb}
tr.flagged td{background:#fde2e2}
ul.flags li{color:#8a1c1c}.ok{color:#1d6b3a}
.method{font-size:.85em;color:#333;border-top:1px solid #bbb;margin-top:1.5em}
@page{size:A4;margin:14mm}
@media print{body{margin:0;max-width:none;font-size:10pt}section{break-inside:avoid-page}
svg.section{max-height:none}.headline div{border:1px solid #bbb}}
)";

std::string optional(const std::optional<double>& value, int decimals) {
  return value ? fixedText(*value, decimals) : "none";
}

std::string headlineBox(const std::string& value, const std::string& label) {
  return "<div><b>" + value + "</b><span>" + label + "</span></div>";
}

std::string headline(const Summary& s) {
  std::string difference =
      s.differencePercent ? " (" + fixedText(*s.differencePercent, 1) + " %)" : "";
  return "<div class=\"headline\">" +
         headlineBox(optional(s.discharge, 3) + " " + dischargeUnit(s), "discharge Q") +
         headlineBox(fixedText(s.area, 3) + " " + areaUnit(s), "area A") +
         headlineBox(fixedText(s.width, 2) + " " + lengthUnit(s), "width") +
         headlineBox(optional(s.meanVelocity, 3) + " " + velocityUnit(s), "mean velocity Q/A") +
         headlineBox(optional(s.meanDepth, 3) + " " + lengthUnit(s), "mean depth A/width") +
         headlineBox(std::to_string(s.verticals.size()), "verticals") +
         headlineBox(fixedText(s.largestShare * 100, 1) + " %", "largest share of Q") +
         headlineBox(optional(s.meanSectionDischarge, 3) + difference, "mean-section check") +
         "</div>";
}

std::string legend() {
  auto item = [](const char* colour, const char* text) {
    return std::string("<span><i style=\"background:") + colour + "\"></i>" + text + "</span>";
  };
  return "<p class=\"legend\">" + item(ShareLowColour, "up to 5 % of Q") +
         item(ShareNotedColour, "above 5 %") + item(ShareFlaggedColour, "above 10 %") +
         item(ReverseFlowColour, "reverse flow") +
         "<span>&#9660; dashed red: flagged vertical</span></p>";
}

std::string verticalTable(const Summary& s) {
  const std::string l = lengthUnit(s);
  std::string out = "<table><thead><tr><th>#</th><th>station (" + l + ")</th><th>width (" + l +
                    ")</th><th>depth (" + l + ")</th><th>velocity (" + velocityUnit(s) +
                    ")</th><th>angle (&deg;)</th><th>area (" + areaUnit(s) +
                    ")</th><th>discharge (" + dischargeUnit(s) +
                    ")</th><th>% of Q</th></tr></thead><tbody>";
  for (size_t i = 0; i < s.verticals.size(); ++i) {
    const Vertical& v = s.verticals[i];
    out += std::string(v.flagged ? "<tr class=\"flagged\">" : "<tr>") + "<td>" +
           std::to_string(i + 1) + "</td><td>" + fixedText(v.station, 2) + "</td><td>" +
           fixedText(v.width, 2) + "</td><td>" + fixedText(v.depth, 2) + "</td><td>" +
           fixedText(v.velocity, 3) +
           (v.records > 1 ? " (" + std::to_string(v.records) + ")" : "") + "</td><td>" +
           fixedText(v.angle, 1) + "</td><td>" + fixedText(v.area, 3) + "</td><td>" +
           fixedText(v.discharge, 3) + "</td><td>" +
           (s.discharge ? fixedText(v.share * 100, 1) : "-") + "</td></tr>";
  }
  return out + "</tbody></table>";
}

std::string flagList(const Summary& s) {
  if (s.flags.empty()) return "<p class=\"ok\">No flags.</p>";
  std::string out = "<ul class=\"flags\">";
  for (const std::string& flag : s.flags) out += "<li>" + htmlText(flag) + "</li>";
  return out + "</ul>";
}

std::string measurementSection(const Summary& s) {
  return "<section><h2>Cross-section " + htmlBytes(s.xsec) + " <small>(block " +
         std::to_string(s.block) + ", " + htmlBytes(s.date) + " " + htmlBytes(s.time) +
         ")</small></h2>" + headline(s) + crossSectionPicture(s) + legend() + verticalTable(s) +
         "<h3>Flags</h3>" + flagList(s) + "</section>";
}

std::string skippedList(const FileSummary& summary) {
  if (summary.skipped.empty()) return "";
  std::string out = "<section><h2>Skipped records</h2><ul>";
  for (const SkippedRecord& skip : summary.skipped)
    out += "<li>line " + std::to_string(skip.line) + ": " + htmlText(skip.reason) + "</li>";
  return out + "</ul></section>";
}

constexpr const char* Method = R"(<div class="method"><h2>Method</h2>
<p>Mid-section method (ISO 748; USGS Techniques and Methods 3-A8). Verticals are taken in the
order of their stations; records at one station are one vertical, its velocity their mean. The
velocity normal to the section is V&middot;cos(angle), the angle in degrees from the normal (blank:
0; beyond &plusmn;90: 0, flagged). Each vertical stands for half the distance to its neighbours,
the first and last for half the distance to the one next to them: q = width &times; depth &times;
normal velocity, Q = &Sigma;q. The mean-section discharge, from the mean depth and velocity of each
pair of neighbouring verticals, is the cross-check.</p>
<p>Flags: a vertical above 10 % of Q (a note above 5 %); fewer than 20 verticals; a station
measured at different depths; stations neither increasing nor decreasing; an interior vertical of
zero depth; a negative velocity; an angle beyond &plusmn;90; mean-section and mid-section more
than 5 % apart; mixed units (no discharge).</p></div>)";

std::string hexEntity(unsigned char byte) {
  char text[12];
  std::snprintf(text, sizeof text, "&#x%02x;", byte);
  return text;
}

}  // namespace

std::string htmlText(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string htmlBytes(const std::string& bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 || (byte < 0x20 && byte != '\t')) {
      out += byte >= 0xa0 ? hexEntity(byte) : "&#xfffd;";
    } else {
      out += htmlText(std::string(1, c));
    }
  }
  return out;
}

std::string summaryReport(const FileSummary& summary, const std::string& sourceName) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<title>Measurement summary</title><style>";
  out += Style;
  out += "</style></head><body><h1>Measurement summary</h1><p class=\"source\">" +
         htmlText(sourceName) + "</p>";
  if (summary.measurements.empty()) out += "<p>No measurement in this file.</p>";
  for (const Summary& s : summary.measurements) out += measurementSection(s);
  out += skippedList(summary);
  out += Method;
  return out + "</body></html>\n";
}

std::string reportPathFor(const std::string& csvPath) {
  const size_t folderEnd = csvPath.find_last_of("/\\");
  const size_t nameStart = folderEnd == std::string::npos ? 0 : folderEnd + 1;
  const size_t dot = csvPath.rfind('.');
  const bool hasExtension = dot != std::string::npos && dot > nameStart;
  return (hasExtension ? csvPath.substr(0, dot) : csvPath) + ".summary.html";
}

bool writeReportFile(const std::string& path, const std::string& html, std::string& error) {
  std::ofstream out(utf8Path(path), std::ios::binary | std::ios::trunc);
  if (out) out.write(html.data(), static_cast<std::streamsize>(html.size()));
  if (out) out.close();
  if (!out) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}
