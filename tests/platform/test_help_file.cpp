// The help file format: topics, books, keywords, paragraphs, lists and links; what is
// no help file; the index order and the search.
#include "platform/help_file.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

const QByteArray kSample =
    "\xEF\xBB\xBFVELARIM-HILFE 1\r\n"
    "# Kommentar\r\n"
    "@titel Probe\r\n"
    "== a | Erstes <Thema>\r\n"
    "@buch Buch eins\r\n"
    "@stichwort Zoom; ärger ;; Anfang\r\n"
    "Zeile eins\r\n"
    "Zeile zwei mit [[b|Verweis & mehr]].\r\n"
    "\r\n"
    "- Punkt <1>\r\n"
    "- Punkt 2\r\n"
    "== b | Zweites\r\n"
    "@stichwort zoom; Bild\r\n"
    "Ein @ mitten im Text und # auch.\r\n"
    "@buch ist hier Text\r\n";

TEST(HelpFile, TopicsWithBooksKeywordsParagraphsAndLists) {
  QString error;
  const std::optional<HelpFile> file = ParseHelpFile(kSample, &error);
  ASSERT_TRUE(file) << error.toStdString();
  EXPECT_EQ(file->title, QStringLiteral("Probe"));
  ASSERT_EQ(file->topics.size(), 2u);
  const HelpTopic& a = file->topics[0];
  EXPECT_EQ(a.id, QStringLiteral("a"));
  EXPECT_EQ(a.title, QStringLiteral("Erstes <Thema>"));
  EXPECT_EQ(a.book, QStringLiteral("Buch eins"));
  EXPECT_EQ(a.keywords, (QStringList{QStringLiteral("Zoom"), QStringLiteral("ärger"), QStringLiteral("Anfang")}));
  ASSERT_EQ(a.paragraphs.size(), 2);
  EXPECT_EQ(file->topics[1].book, QString());
  // A directive line after the text has begun is text.
  EXPECT_TRUE(file->topics[1].paragraphs.front().endsWith(QStringLiteral("@buch ist hier Text")));
  EXPECT_EQ(file->TopicIndex(QStringLiteral("b")), 1);
  EXPECT_EQ(file->TopicIndex(QStringLiteral("c")), -1);

  const QString html = TopicHtml(a);
  EXPECT_TRUE(html.contains(QStringLiteral("<h2>Erstes &lt;Thema&gt;</h2>")));
  EXPECT_TRUE(html.contains(QStringLiteral("<p>Zeile eins Zeile zwei mit <a href=\"topic:b\">Verweis &amp; mehr</a>.</p>")));
  EXPECT_TRUE(html.contains(QStringLiteral("<ul><li>Punkt &lt;1&gt;</li><li>Punkt 2</li></ul>")));
}

TEST(HelpFile, WhatIsNoHelpFile) {
  QString error;
  EXPECT_FALSE(ParseHelpFile("VELARIM-HILFE 2\n== a | b\n", &error));
  EXPECT_EQ(error, QStringLiteral("Dies ist keine Hilfedatei von Velarim."));
  EXPECT_FALSE(ParseHelpFile("VELARIM-HILFE 1\n== ohne Trennstrich\n", &error));
  EXPECT_EQ(error, QStringLiteral("Fehler in Zeile 2 der Hilfedatei."));
  EXPECT_FALSE(ParseHelpFile("VELARIM-HILFE 1\n@titel leer\n", &error));
  EXPECT_EQ(error, QStringLiteral("Die Hilfedatei enthält keine Themen."));
  EXPECT_FALSE(ParseHelpFile(QByteArray(), &error));
  EXPECT_FALSE(ParseHelpFile(QByteArray(kMaxHelpFileSize + 1, 'x'), &error));
  EXPECT_FALSE(LoadHelpFile(QStringLiteral("/no/such/Velarim.HLP"), &error));
  EXPECT_EQ(error, QStringLiteral("Die Hilfedatei /no/such/Velarim.HLP kann nicht geöffnet werden."));
}

TEST(HelpFile, IndexIsAlphabeticalAndJoinsKeywordsOfSeveralTopics) {
  const std::optional<HelpFile> file = ParseHelpFile(kSample);
  ASSERT_TRUE(file);
  const std::vector<HelpIndexEntry> index = HelpIndex(*file);
  QStringList keywords;
  for (const HelpIndexEntry& entry : index) keywords << entry.keyword;
  EXPECT_EQ(keywords, (QStringList{QStringLiteral("Anfang"), QStringLiteral("ärger"), QStringLiteral("Bild"),
                                   QStringLiteral("Zoom")}));
  EXPECT_EQ(index.back().topics, (std::vector<int>{0, 1}));
}

TEST(HelpFile, SearchNeedsEveryWordAnywhereInTheTopic) {
  const std::optional<HelpFile> file = ParseHelpFile(kSample);
  ASSERT_TRUE(file);
  EXPECT_EQ(SearchTopics(*file, QStringLiteral("zoom")), (std::vector<int>{0, 1}));
  EXPECT_EQ(SearchTopics(*file, QStringLiteral("ZEILE verweis")), (std::vector<int>{0}));  // a link by its text
  EXPECT_TRUE(SearchTopics(*file, QStringLiteral("zeile bild")).empty());
  EXPECT_TRUE(SearchTopics(*file, QStringLiteral("  ")).empty());
}

TEST(HelpFile, ListDirectlyAfterOrBeforeTextStandsApart) {
  const std::optional<HelpFile> file = ParseHelpFile(
      "VELARIM-HILFE 1\n== d | Drucken\nBestimmen Sie das Format:\n- ganze Seite,\n- Dias.\nDanach den Drucker.\n");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->topics[0].paragraphs,
            (QStringList{QStringLiteral("Bestimmen Sie das Format:"), QStringLiteral("- ganze Seite,\n- Dias."),
                         QStringLiteral("Danach den Drucker.")}));
  EXPECT_TRUE(TopicHtml(file->topics[0])
                  .endsWith(QStringLiteral("<p>Bestimmen Sie das Format:</p><ul><li>ganze Seite,</li><li>Dias.</li></ul>"
                                           "<p>Danach den Drucker.</p>")));
}

// Every topic of the help file that ships with the program, as the finder shows it:
// each line that starts a list item shows as an item of a list.
TEST(HelpFile, ShippedFileShowsEveryListAsAList) {
  QString error;
  const std::optional<HelpFile> file =
      LoadHelpFile(qEnvironmentVariable("VELARIM_SOURCE_DIR") + QStringLiteral("/app/Velarim.HLP"), &error);
  ASSERT_TRUE(file) << error.toStdString();
  for (const HelpTopic& topic : file->topics) {
    const QString html = TopicHtml(topic);
    qsizetype listLines = 0;
    for (const QString& paragraph : topic.paragraphs) {
      for (const QString& line : paragraph.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("- "))) continue;
        ++listLines;
        EXPECT_TRUE(html.contains(QStringLiteral("<li>") + line.mid(2).toHtmlEscaped()))
            << topic.id.toStdString() << ": " << line.toStdString();
      }
    }
    EXPECT_EQ(html.count(QStringLiteral("<li>")), listLines) << topic.id.toStdString();
  }
  const int printing = file->TopicIndex(QStringLiteral("drucken"));
  ASSERT_GE(printing, 0);
  EXPECT_TRUE(TopicHtml(file->topics[static_cast<size_t>(printing)]).contains(QStringLiteral("das Format:</p><ul><li>")));
}

}  // namespace
