// Our Word against the floor of unzipping and re-zipping the same files: generated documents
// of one, 100 and 1,000 pages are opened, searched and replaced through the Word object surface
// (the plug-in's find loop) and saved; the floor reads each file, inflates every entry,
// deflates every entry again and writes the file. Both run in this one process, so the
// ratio is what to compare across machines.
//   word_bench [rounds [pages]]
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "automation/Ole.h"
#include "ooxml/package/Zip.h"
#include "ooxml/word/WordApplication.h"
#include "platform/Files.h"

using automation::Ole;
using automation::Variant;

namespace {

const char* kWords[] = {"lorem", "ipsum", "dolor", "sit", "amet", "consectetur", "adipiscing", "elit", "sed", "do",
                        "eiusmod", "tempor", "incididunt", "ut", "labore", "et", "dolore", "magna", "aliqua", "enim",
                        "minim", "veniam", "quis", "nostrud", "exercitation", "ullamco", "laboris", "nisi", "aliquip",
                        "commodo", "consequat", "translation", "table", "batch"};

// About 3,000 characters a page in eight paragraphs of runs, some bold or italic, with a
// hyperlink and a small table now and then, as real documents have.
std::string documentXml(int pages) {
  std::string x =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<w:document "
      "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><w:body>";
  unsigned seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
  for (int page = 0; page < pages; ++page) {
    for (int para = 0; para < 8; ++para) {
      x += "<w:p w:rsidR=\"00A1B2C3\"><w:pPr><w:spacing w:after=\"120\"/></w:pPr>";
      for (int run = 0; run < 6; ++run) {
        unsigned style = next() % 6;
        x += "<w:r w:rsidR=\"00D4E5F6\">";
        if (style == 0) x += "<w:rPr><w:b/></w:rPr>";
        if (style == 1) x += "<w:rPr><w:i/><w:color w:val=\"1F3864\"/></w:rPr>";
        x += "<w:t xml:space=\"preserve\">";
        for (int w = 0; w < 11; ++w) {
          x += kWords[next() % (sizeof kWords / sizeof *kWords)];
          x += ' ';
        }
        x += "</w:t></w:r>";
      }
      if (para == 3) x += "<w:hyperlink r:id=\"rId9\"><w:r><w:t>a link to the translation table</w:t></w:r></w:hyperlink>";
      x += "</w:p>";
    }
    if (page % 10 == 9) {
      x += "<w:tbl><w:tblPr/><w:tblGrid><w:gridCol/><w:gridCol/></w:tblGrid>";
      for (int r = 0; r < 3; ++r)
        x += "<w:tr><w:tc><w:p><w:r><w:t>lorem cell</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>ipsum cell</w:t></w:r></w:p></w:tc></w:tr>";
      x += "</w:tbl>";
    }
  }
  return x + "<w:sectPr/></w:body></w:document>";
}

std::string makeDocx(int pages) {
  ooxml::ZipWriter w;
  w.add("[Content_Types].xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
        "ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
        "<Override PartName=\"/word/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/></Types>");
  w.add("_rels/.rels",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"word/document.xml\"/></Relationships>");
  w.add("word/_rels/document.xml.rels",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId9\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink\" "
        "Target=\"http://example.com/\" TargetMode=\"External\"/><Relationship Id=\"rId2\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
        "</Relationships>");
  w.add("word/document.xml", documentXml(pages));
  std::string styles = "<?xml version=\"1.0\"?><w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">";
  for (int i = 0; i < 150; ++i)
    styles += "<w:style w:type=\"paragraph\" w:styleId=\"S" + std::to_string(i) + "\"><w:name w:val=\"Style " +
              std::to_string(i) + "\"/><w:rPr><w:sz w:val=\"" + std::to_string(16 + i % 20) + "\"/></w:rPr></w:style>";
  w.add("word/styles.xml", styles + "</w:styles>");
  std::string media(40000, '\0');
  unsigned s = 7;
  for (char& c : media) c = static_cast<char>((s = s * 1664525u + 1013904223u) >> 24);  // an incompressible image
  w.add("word/media/image1.png", media);
  return w.finish();
}

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The find loop of the plug-in: find from the start, replace each hit, stop on wrap or repeat.
int replaceAll(Ole doc, const std::u16string& what, const std::u16string& with) {
  Ole sel = doc.get("Windows").call("Item", 1).get("Selection");
  sel.put("Start", 0);
  sel.put("End", 0);
  int count = 0, previousStart = 0, previousEnd = 0, repeats = 0;
  bool first = true;
  Ole find = sel.get("Find");
  while (true) {
    find.call("ClearFormatting");
    if (!find.call("Execute", what, false, false, false, false, false, true, 1, false, u"", 0).toBool()) break;
    int s = sel.get("Start").toInt(), e = sel.get("End").toInt();
    if (!first) {
      if (previousStart > s) break;
      if (previousStart == s && previousStart != previousEnd) {
        if (++repeats > 1) break;
        continue;
      }
      if (e <= previousEnd) {
        previousStart = s;
        continue;
      }
    }
    repeats = 0;
    sel.put("Text", with);
    previousStart = sel.get("Start").toInt();
    previousEnd = sel.get("End").toInt();
    first = false;
    ++count;
  }
  return count;
}

void floorCopy(const std::string& in, const std::string& out) {
  ooxml::ZipReader r(platform::readFile(in, 1u << 30));
  ooxml::ZipWriter w;
  for (const auto& e : r.entries()) w.add(e.name, r.read(e));
  platform::writeFileAtomically(out, w.finish());
}

int engineRun(Ole word, const std::string& in, const std::string& out) {
  Ole doc = word.get("Documents").call("Open", platform::ansiToWide(in), false, false, false, u"", u"", false, u"", u"", 0);
  int n = replaceAll(doc, u"translation table", u"glossary");
  n += replaceAll(doc, u"magna", u"MAGNA grande");
  n += replaceAll(doc, u"dolore^w", u"sorrow ");
  doc.call("SaveAs", platform::ansiToWide(out));
  doc.call("Close", 0, Variant(), Variant());
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::string folder = platform::joinPath(platform::tempFolder(), "tavimo-word-bench");
  platform::fileSystem().createFolder(folder);
  Ole word(ooxml::createWordApplication());
  std::printf("%-10s %10s %12s %12s %12s %8s %9s\n", "corpus", "size", "replaced", "engine MB/s", "floor MB/s", "ratio",
              "MB/s docx");
  for (auto [name, pages, copies] : {std::tuple{"small", 1, 40}, std::tuple{"100 pages", 100, 4}, std::tuple{"1000 pages", 1000, 1}}) {
    if (argc > 2 && std::atoi(argv[2]) != pages) continue;
    std::vector<std::string> files;
    double bytes = 0, xmlBytes = 0;
    std::string docx = makeDocx(pages);
    for (int i = 0; i < copies; ++i) {
      files.push_back(platform::joinPath(folder, std::string("in-") + std::to_string(pages) + "-" + std::to_string(i) + ".docx"));
      platform::writeFileAtomically(files.back(), docx);
      bytes += static_cast<double>(docx.size());
      xmlBytes += static_cast<double>(documentXml(pages).size());
    }
    double engine = 1e30, floor = 1e30;
    int replaced = 0;
    for (int round = 0; round < rounds; ++round) {
      auto t0 = std::chrono::steady_clock::now();
      for (auto& f : files) floorCopy(f, f + ".floor.docx");
      floor = std::min(floor, seconds(t0));
      t0 = std::chrono::steady_clock::now();
      replaced = 0;
      for (auto& f : files) replaced += engineRun(word, f, f + ".out.docx");
      engine = std::min(engine, seconds(t0));
    }
    double mb = bytes / 1e6;
    std::printf("%-10s %8.2fMB %12d %12.1f %12.1f %7.2fx %9.1f\n", name, mb, replaced, mb / engine, mb / floor, engine / floor,
                xmlBytes / 1e6 / engine);
    for (auto& f : files) {
      platform::fileSystem().remove(f);
      platform::fileSystem().remove(f + ".floor.docx");
      platform::fileSystem().remove(f + ".out.docx");
    }
  }
  std::printf("ratio = engine time / floor time (unzip every entry and zip it again), best of %d rounds;\n"
              "MB/s docx counts the inflated document.xml the engine searched.\n", rounds);
  return 0;
}
