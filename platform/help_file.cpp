#include "platform/help_file.h"

#include "platform/lossless_utf8.h"
#include "platform/private_profile_file.h"

#include <QCollator>
#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace platform {

namespace {

void SetError(QString* error, const QString& text) {
  if (error) *error = text;
}

// Starts a topic from a header line "== id | title".
std::optional<HelpTopic> TopicHeader(const QString& line) {
  const QString rest = line.mid(2);
  const qsizetype bar = rest.indexOf(QLatin1Char('|'));
  if (bar < 0) return std::nullopt;
  HelpTopic topic;
  topic.id = rest.left(bar).trimmed();
  topic.title = rest.mid(bar + 1).trimmed();
  if (topic.id.isEmpty() || topic.title.isEmpty()) return std::nullopt;
  return topic;
}

bool IsListLine(const QString& line) { return line.startsWith(QLatin1String("- ")); }

// A list and the text around it are separate paragraphs, also without a blank line
// between them, so a list never runs into the sentence that introduces it.
void AddBodyLine(HelpTopic& topic, const QString& line, bool& paragraphOpen) {
  if (line.trimmed().isEmpty()) {
    paragraphOpen = false;
    return;
  }
  const QString trimmed = line.trimmed();
  if (paragraphOpen && IsListLine(trimmed) != IsListLine(topic.paragraphs.back().section(QLatin1Char('\n'), -1))) {
    paragraphOpen = false;
  }
  if (paragraphOpen) {
    topic.paragraphs.back() += QLatin1Char('\n') + trimmed;
  } else {
    topic.paragraphs << trimmed;
    paragraphOpen = true;
  }
}

// Escapes text for HTML and turns "[[id|text]]" into links.
QString InlineHtml(const QString& text) {
  static const QRegularExpression link(QStringLiteral("\\[\\[([^|\\]]+)\\|([^\\]]+)\\]\\]"));
  QString html;
  qsizetype at = 0;
  for (QRegularExpressionMatchIterator it = link.globalMatch(text); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    html += text.mid(at, match.capturedStart() - at).toHtmlEscaped();
    html += QStringLiteral("<a href=\"topic:%1\">%2</a>")
                .arg(match.captured(1).trimmed().toHtmlEscaped(), match.captured(2).toHtmlEscaped());
    at = match.capturedEnd();
  }
  return html + text.mid(at).toHtmlEscaped();
}

// The text of a paragraph without link markup, for searching.
QString PlainText(const QString& paragraph) {
  static const QRegularExpression link(QStringLiteral("\\[\\[[^|\\]]+\\|([^\\]]+)\\]\\]"));
  return QString(paragraph).replace(link, QStringLiteral("\\1"));
}

}  // namespace

int HelpFile::TopicIndex(const QString& id) const {
  for (size_t i = 0; i < topics.size(); ++i) {
    if (topics[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

std::optional<HelpFile> ParseHelpFile(QByteArrayView bytes, QString* error) {
  if (bytes.size() > kMaxHelpFileSize) {
    SetError(error, QStringLiteral("Die Hilfedatei ist zu groß."));
    return std::nullopt;
  }
  QString text = QString::fromUtf8(bytes);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  const QStringList lines = text.split(QLatin1Char('\n'));
  if (lines.isEmpty() || lines.front().trimmed() != QLatin1String(kHelpFileMagic)) {
    SetError(error, QStringLiteral("Dies ist keine Hilfedatei von Velarim."));
    return std::nullopt;
  }

  HelpFile file;
  HelpTopic* topic = nullptr;
  bool paragraphOpen = false;
  bool inHeader = false;  // directives follow the topic's header line
  for (qsizetype n = 1; n < lines.size(); ++n) {
    const QString& line = lines[n];
    if (line.startsWith(QLatin1Char('#'))) continue;
    if (line.startsWith(QLatin1String("=="))) {
      std::optional<HelpTopic> header = TopicHeader(line);
      if (!header) {
        SetError(error, QStringLiteral("Fehler in Zeile %1 der Hilfedatei.").arg(n + 1));
        return std::nullopt;
      }
      file.topics.push_back(std::move(*header));
      topic = &file.topics.back();
      paragraphOpen = false;
      inHeader = true;
      continue;
    }
    if (line.startsWith(QLatin1Char('@')) && (inHeader || !topic)) {
      const qsizetype blank = line.indexOf(QLatin1Char(' '));
      const QString name = line.mid(1, blank < 0 ? -1 : blank - 1);
      const QString value = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
      if (!topic && name == QLatin1String("titel")) {
        file.title = value;
      } else if (topic && name == QLatin1String("buch")) {
        topic->book = value;
      } else if (topic && name == QLatin1String("stichwort")) {
        for (const QString& keyword : value.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
          if (!keyword.trimmed().isEmpty()) topic->keywords << keyword.trimmed();
        }
      }
      continue;
    }
    inHeader = false;
    if (topic) AddBodyLine(*topic, line, paragraphOpen);
  }
  if (file.topics.empty()) {
    SetError(error, QStringLiteral("Die Hilfedatei enthält keine Themen."));
    return std::nullopt;
  }
  return file;
}

std::optional<HelpFile> LoadHelpFile(const QString& fileName, QString* error) {
  // By the name's bytes: the program may sit in a folder whose name is not UTF-8.
  QByteArray bytes;
  if (profile_file::ReadWholeFile(fileName, bytes) != profile_file::ReadStatus::Read || bytes.size() > kMaxHelpFileSize) {
    SetError(error, QStringLiteral("Die Hilfedatei %1 kann nicht geöffnet werden.").arg(ReadableText(fileName)));
    return std::nullopt;
  }
  return ParseHelpFile(bytes, error);
}

QString TopicHtml(const HelpTopic& topic) {
  QString html = QStringLiteral("<h2>%1</h2>").arg(topic.title.toHtmlEscaped());
  for (const QString& paragraph : topic.paragraphs) {
    const QStringList lines = paragraph.split(QLatin1Char('\n'));
    const bool list = std::all_of(lines.begin(), lines.end(), IsListLine);
    if (list) {
      html += QStringLiteral("<ul>");
      for (const QString& line : lines) html += QStringLiteral("<li>") + InlineHtml(line.mid(2)) + QStringLiteral("</li>");
      html += QStringLiteral("</ul>");
    } else {
      html += QStringLiteral("<p>") + InlineHtml(lines.join(QLatin1Char(' '))) + QStringLiteral("</p>");
    }
  }
  return html;
}

std::vector<int> SearchTopics(const HelpFile& file, const QString& query) {
  const QStringList words = query.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
  std::vector<int> found;
  if (words.isEmpty()) return found;
  for (size_t i = 0; i < file.topics.size(); ++i) {
    const HelpTopic& topic = file.topics[i];
    QString haystack = topic.title + QLatin1Char('\n') + topic.keywords.join(QLatin1Char('\n'));
    for (const QString& paragraph : topic.paragraphs) haystack += QLatin1Char('\n') + PlainText(paragraph);
    const bool all = std::all_of(words.begin(), words.end(),
                                 [&](const QString& word) { return haystack.contains(word, Qt::CaseInsensitive); });
    if (all) found.push_back(static_cast<int>(i));
  }
  return found;
}

std::vector<HelpIndexEntry> HelpIndex(const HelpFile& file) {
  QCollator collator{QLocale(QLocale::German)};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::vector<HelpIndexEntry> entries;
  std::map<QString, size_t> byKey;
  for (size_t i = 0; i < file.topics.size(); ++i) {
    for (const QString& keyword : file.topics[i].keywords) {
      const QString key = keyword.toCaseFolded();
      auto [it, added] = byKey.try_emplace(key, entries.size());
      if (added) entries.push_back({keyword, {}});
      std::vector<int>& topics = entries[it->second].topics;
      if (topics.empty() || topics.back() != static_cast<int>(i)) topics.push_back(static_cast<int>(i));
    }
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [&](const HelpIndexEntry& a, const HelpIndexEntry& b) { return collator.compare(a.keyword, b.keyword) < 0; });
  return entries;
}

}  // namespace platform
