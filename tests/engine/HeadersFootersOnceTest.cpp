#include <array>
#include <map>

#include "WordFake.h"

using automation::Variant;

// The recording fake with a small document behind it: sections that show kinds of header and
// footer and link them to the previous section, and the texts of the stories they end up in.
// Going to a section and setting SeekView open the story Word would open; Find.Execute searches
// its text (wrapping round, as Word does) and assigning Sel.Text changes it.
class HeadersFootersOnce : public WordFake {
 protected:
  struct Section {
    bool firstPage = false;
    bool evenPages = false;
    std::array<bool, 3> headerLinked{};  // primary, first page, even pages
    std::array<bool, 3> footerLinked{};
  };

  std::vector<Section> sections;
  std::map<std::string, WideString> stories;
  std::unique_ptr<TWordObject> word;

  void SetUp() override { word = openWord(); }

  // The story a section's header (or footer) of a kind shows: its own, or by link an earlier one.
  std::string storyOf(size_t section, size_t kind, bool footer) const {
    while (section > 1 && (footer ? sections[section - 1].footerLinked : sections[section - 1].headerLinked)[kind])
      --section;
    return (footer ? "footer " : "header ") + std::to_string(kind + 1) + " of " + std::to_string(section);
  }

  WideString& text(const std::string& story) {
    auto it = stories.find(story);
    if (it == stories.end()) it = stories.emplace(story, story.rfind("footer", 0) == 0 ? u"foot" : u"head").first;
    return it->second;
  }

  // Puts the document behind the fake; a failing section raises when its page setup is read.
  void build(int failingSection = 0) {
    fake.setProperty("Document.Sections.Count", static_cast<int32_t>(sections.size()));
    for (size_t i = 1; i <= sections.size(); ++i) {
      const Section& s = sections[i - 1];
      const std::string p = "Document.Sections.Item(" + std::to_string(i) + ").";
      fake.setProperty(p + "PageSetup.DifferentFirstPageHeaderFooter", s.firstPage ? -1 : 0);
      fake.setProperty(p + "PageSetup.OddAndEvenPagesHeaderFooter", s.evenPages ? -1 : 0);
      if (static_cast<int>(i) == failingSection)
        fake.failsAlways(p + "PageSetup.DifferentFirstPageHeaderFooter", "section is damaged");
      for (int k = 1; k <= 3; ++k) {
        fake.setProperty(p + "Headers.Item(" + std::to_string(k) + ").LinkToPrevious", s.headerLinked[k - 1] ? -1 : 0);
        fake.setProperty(p + "Footers.Item(" + std::to_string(k) + ").LinkToPrevious", s.footerLinked[k - 1] ? -1 : 0);
      }
    }
    auto section = std::make_shared<size_t>(1);
    auto story = std::make_shared<std::string>();
    fake.handles("Document.Application.Selection.GoTo", [section, story](const std::vector<Variant>& args) {
      *section = static_cast<size_t>(args.at(2).toInt());
      story->clear();  // the main text
      return Variant();
    });
    fake.handles(kSeekView, [this, section, story](const std::vector<Variant>& args) {
      const int32_t view = args.at(0).toInt();
      fake.setProperty(kSeekView, view);
      if (view >= 1 && view <= 6) {
        const Section& s = sections.at(*section - 1);
        const size_t kind = static_cast<size_t>((view - 1) % 3);
        // Word refuses a view the section does not show.
        if ((kind == 1 && !s.firstPage) || (kind == 2 && !s.evenPages))
          throw automation::AutomationError("this view is not available");
        *story = storyOf(*section, kind, view >= 4);
      } else {
        story->clear();
      }
      return Variant();
    });
    fake.handles("Sel.Find.Execute", [this, story](const std::vector<Variant>& args) {
      if (story->empty()) return Variant(false);
      const WideString& t = text(*story);
      const WideString find = args.at(0).toString();
      size_t at = t.find(find, static_cast<size_t>(fake.property("Sel.End").toInt()));
      if (at == WideString::npos) at = t.find(find);
      if (at == WideString::npos) return Variant(false);
      fake.setProperty("Sel.Start", static_cast<int32_t>(at));
      fake.setProperty("Sel.End", static_cast<int32_t>(at + find.size()));
      return Variant(true);
    });
    fake.handles("Sel.Text", [this, story](const std::vector<Variant>& args) {
      const size_t start = static_cast<size_t>(fake.property("Sel.Start").toInt());
      const size_t end = static_cast<size_t>(fake.property("Sel.End").toInt());
      WideString& t = text(*story);
      if (args.empty()) return Variant(t.substr(start, end - start));
      const WideString value = args.at(0).toString();
      t.replace(start, end - start, value);
      fake.setProperty("Sel.End", static_cast<int32_t>(start + value.size()));
      return Variant();
    });
  }

  int32_t replaceHead() { return word->ReplaceInHeadersFooters(u"head", u"[head]", 0, nullptr, nullptr); }

  // The walk as Word sees it: sections gone to, switches and links read, views set.
  std::vector<std::string> walk() const {
    std::vector<std::string> out;
    const std::string prefix = "Document.Sections.Item(";
    for (const auto& l : fake.log()) {
      const bool sectionRead = l.rfind(prefix, 0) == 0 && (l.find("HeaderFooter") != std::string::npos ||
                                                           l.find("LinkToPrevious") != std::string::npos);
      if (sectionRead) out.push_back(l.substr(std::string("Document.").size()));
      else if (l.rfind("Document.Application.Selection.GoTo", 0) == 0) out.push_back(l.substr(l.find("GoTo")));
      else if (l.rfind(std::string(kSeekView) + " = ", 0) == 0) out.push_back(l.substr(l.find("SeekView")));
    }
    return out;
  }
};

TEST_F(HeadersFootersOnce, EachSectionSearchesTheKindsItShowsAndSkipsWhatItLinksTo) {
  sections.resize(2);
  sections[0].firstPage = true;
  sections[1].firstPage = true;
  sections[1].evenPages = true;
  sections[1].headerLinked = {true, false, true};
  sections[1].footerLinked = {false, true, true};
  build();
  EXPECT_EQ(replaceHead(), 4);
  EXPECT_EQ(walk(), (std::vector<std::string>{
                        "GoTo(0, 1, 1)",
                        "Sections.Item(1).PageSetup.DifferentFirstPageHeaderFooter",
                        "Sections.Item(1).PageSetup.OddAndEvenPagesHeaderFooter",
                        "SeekView = 1",
                        "SeekView = 4",
                        "SeekView = 2",
                        "SeekView = 5",
                        "SeekView = 0",
                        "GoTo(0, 1, 2)",
                        "Sections.Item(2).PageSetup.DifferentFirstPageHeaderFooter",
                        "Sections.Item(2).PageSetup.OddAndEvenPagesHeaderFooter",
                        "Sections.Item(2).Headers.Item(1).LinkToPrevious",
                        "Sections.Item(2).Footers.Item(1).LinkToPrevious",
                        "SeekView = 4",
                        "Sections.Item(2).Headers.Item(2).LinkToPrevious",
                        "SeekView = 2",
                        "Sections.Item(2).Footers.Item(2).LinkToPrevious",
                        // The even-page stories it links to are hidden in section 1: searched here.
                        "SeekView = 3",
                        "SeekView = 6",
                        "SeekView = 0",
                    }));
  EXPECT_EQ(text("header 1 of 1"), u"[head]");
  EXPECT_EQ(text("header 2 of 1"), u"[head]");
  EXPECT_EQ(text("header 2 of 2"), u"[head]");
  EXPECT_EQ(text("header 3 of 1"), u"[head]");
  EXPECT_EQ(count("Document.PageSetup"), 0u);
}

TEST_F(HeadersFootersOnce, AHeaderSharedByLinkedSectionsIsChangedOnce) {
  sections.resize(4);
  for (size_t i = 1; i < sections.size(); ++i) sections[i].headerLinked = sections[i].footerLinked = {true, true, true};
  for (auto& s : sections) s.firstPage = true;
  build();
  EXPECT_EQ(replaceHead(), 2);
  EXPECT_EQ(text("header 1 of 1"), u"[head]");
  EXPECT_EQ(text("header 2 of 1"), u"[head]");
  EXPECT_EQ(stories.size(), 4u) << "only the first section's stories were opened";
}

TEST_F(HeadersFootersOnce, AStoryHiddenInBetweenIsNeitherMissedNorChangedTwice) {
  // First-page headers: section 1 shows its own, section 2 hides the kind, section 3 shows it through
  // the link chain, and section 5 shows the one that section 4 keeps hidden.
  sections.resize(5);
  sections[0].firstPage = true;
  sections[2].firstPage = true;
  sections[4].firstPage = true;
  for (size_t i = 1; i < sections.size(); ++i) sections[i].headerLinked = {true, true, true};
  sections[3].headerLinked[1] = false;
  build();
  replaceHead();
  EXPECT_EQ(text("header 1 of 1"), u"[head]");
  EXPECT_EQ(text("header 2 of 1"), u"[head]");
  EXPECT_EQ(text("header 2 of 4"), u"[head]");
  EXPECT_EQ(count("Document.Sections.Item(4).Headers.Item(2).LinkToPrevious"), 1u);
  EXPECT_EQ(count("Document.Sections.Item(5).Headers.Item(2).LinkToPrevious"), 0u);
}

TEST_F(HeadersFootersOnce, AStoryAFailingSectionMissedIsSearchedThroughTheNextOne) {
  sections.resize(3);
  sections[1].headerLinked = {false, false, false};
  sections[2].headerLinked = {true, true, true};
  sections[2].footerLinked = {true, true, true};
  build(2);
  EXPECT_EQ(replaceHead(), 2);
  EXPECT_EQ(text("header 1 of 1"), u"[head]");
  EXPECT_EQ(text("header 1 of 2"), u"[head]");
  EXPECT_EQ(count("Document.Application.Selection.GoTo"), 3u);
  EXPECT_EQ(count("Document.PageSetup"), 0u) << "a failing section is skipped, not a reason to fall back";
}
