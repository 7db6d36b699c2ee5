#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <algorithm>
#include <map>

#include "widgets/qt_text.h"
#include "Inc/TextUtil.h"
#include "tasks/task_editor_dialog.h"

// The task editor's third tab: which of the source's tracks, and which part
// of it, the task converts.

namespace {

struct TrackEntry {
  QString label;
  QString value;  // the option's text: empty for the file's own choice
};

bool Tagged(const std::string& language) { return !language.empty() && language != "und"; }

// Languages are named as Qt names them; a tag Qt does not know shows as it is.
QLocale::Language LanguageOf(const std::string& code) {
  return QLocale::codeToLanguage(QtText(code), QLocale::AnyLanguageCode);
}

QString LanguageName(const std::string& code) {
  const QLocale::Language language = LanguageOf(code);
  return language == QLocale::AnyLanguage ? QtText(code) : QLocale::languageToString(language);
}

QString CodecName(const std::string& codec) {
  static const std::map<std::string, const char*> kNames = {
      {"subrip", "SRT"}, {"webvtt", "WebVTT"}, {"dvd_subtitle", "VobSub"}, {"hdmv_pgs_subtitle", "PGS"}};
  const auto found = kNames.find(codec);
  return found != kNames.end() ? QString(found->second) : QtText(AsciiUpper(codec));
}

QString TrackLabel(const SourceTrack& track, bool fileDefault) {
  QString label = Tagged(track.language) ? LanguageName(track.language) : UiQText("s211", {IntToText(track.number)});
  label += QString::fromUtf8(" \u2013 ") + CodecName(track.codec);
  if (!track.title.empty()) label += QString::fromUtf8(" \u2013 ") + QtText(track.title);
  return fileDefault ? UiQText("s210", {label.toStdString()}) : label;
}

// One input's sound: each of its tracks, the one the file flags as its
// default standing for the encoder's own choice; without such a flag,
// "Default" comes first.
std::vector<TrackEntry> SoundEntries(const SourceTracks& source) {
  std::vector<TrackEntry> entries;
  bool defaultShown = false;
  for (const SourceTrack& track : source.tracks) {
    if (track.kind != TrackKind::Sound) continue;
    const bool fileDefault = !defaultShown && track.isDefault;
    defaultShown = defaultShown || fileDefault;
    entries.push_back({TrackLabel(track, fileDefault), fileDefault ? QString() : QtText(IntToText(track.number))});
  }
  if (!defaultShown) entries.insert(entries.begin(), {UiQText("s204"), QString()});
  return entries;
}

// One input's subtitles: none at first, then its tracks, then the files
// beside it, each named as it is written.
std::vector<TrackEntry> SubtitleEntries(const SourceTracks& source) {
  std::vector<TrackEntry> entries = {{UiQText("s205"), QString()}};
  const std::string folder = source.input.substr(0, source.input.rfind('/') + 1);
  for (const SourceTrack& track : source.tracks) {
    if (track.kind == TrackKind::Subtitle)
      entries.push_back({TrackLabel(track, track.isDefault), QtText(IntToText(track.number))});
    if (track.kind == TrackKind::SubtitleFile)
      entries.push_back({QtText(track.name), QtText((folder.empty() ? "./" : folder) + track.name)});
  }
  return entries;
}

// Several inputs: each language found in any of them, once however each
// file spells it.
std::vector<TrackEntry> LanguageEntries(const std::vector<std::optional<SourceTracks>>& sources,
                                        std::initializer_list<TrackKind> kinds, const char* noneKey) {
  std::vector<TrackEntry> entries = {{UiQText(noneKey), QString()}};
  std::map<QString, bool> named;
  for (const std::optional<SourceTracks>& source : sources) {
    if (!source) continue;
    for (const SourceTrack& track : source->tracks) {
      const QString name = LanguageName(track.language);
      if (std::ranges::find(kinds, track.kind) != kinds.end() && Tagged(track.language) &&
          named.emplace(name, true).second)
        entries.push_back({name, QtText(track.language)});
    }
  }
  return entries;
}

// Neither a track number nor a file's path.
bool IsLanguage(const QString& value) {
  return !value.isEmpty() && !value.front().isDigit() && !value.contains('/');
}

// A track number or a file the new list lacks would make the conversion
// fail, so it gives way to the first entry; a language is kept, as the
// encoder takes the default for a file without it.
// Whoever follows the list (the preview) hears of a refill only when the
// choice changed.
void FillTrackList(QComboBox& list, const std::vector<TrackEntry>& entries) {
  const QString kept = list.currentData().toString();
  {
    const QSignalBlocker quiet(list);
    list.clear();
    for (const TrackEntry& entry : entries) list.addItem(entry.label, entry.value);
    if (list.findData(kept) < 0 && IsLanguage(kept)) list.addItem(LanguageName(kept.toStdString()), kept);
    list.setCurrentIndex(std::max(0, list.findData(kept)));
  }
  if (list.currentData().toString() != kept) emit list.currentIndexChanged(list.currentIndex());
}

QLabel* PlainLabel(const QString& text, QWidget* parent, int x, int y, int w, int h) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(x, y, w, h);
  return label;
}

}  // namespace

void TaskEditorDialog::BuildSourcePage(QWidget* page) {
  (new QGroupBox(UiQText("s201"), page))->setGeometry(5, 10, 375, 95);
  PlainLabel(UiQText("s202"), page, 15, 38, 80, 15);
  controls_.sound = new QComboBox(page);
  controls_.sound->setGeometry(100, 35, 270, controls_.sound->sizeHint().height());
  FillTrackList(*controls_.sound, {{UiQText("s204"), QString()}});
  PlainLabel(UiQText("s203"), page, 15, 73, 80, 15);
  controls_.subtitles = new QComboBox(page);
  controls_.subtitles->setGeometry(100, 70, 270, controls_.subtitles->sizeHint().height());
  FillTrackList(*controls_.subtitles, {{UiQText("s205"), QString()}});

  (new QGroupBox(UiQText("s206"), page))->setGeometry(5, 120, 375, 125);
  PlainLabel(UiQText("s207"), page, 15, 148, 80, 15);
  PlainLabel(UiQText("s208"), page, 15, 183, 80, 15);
  controls_.from = new QLineEdit(page);
  controls_.from->setGeometry(100, 145, 90, 20);
  controls_.to = new QLineEdit(page);
  controls_.to->setGeometry(100, 180, 90, 20);
  QLabel* hint = PlainLabel(UiQText("s209"), page, 200, 140, 170, 65);
  hint->setWordWrap(true);
  hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  controls_.duration = PlainLabel({}, page, 15, 215, 355, 20);
  connect(controls_.input, &QLineEdit::textChanged, this, &TaskEditorDialog::ForgetSourceTracks);
}

void TaskEditorDialog::ShowSourceTracks(const std::vector<std::optional<SourceTracks>>& sources) {
  const bool one = sources.size() == 1 && sources[0];
  FillTrackList(*controls_.sound,
                one ? SoundEntries(*sources[0]) : LanguageEntries(sources, {TrackKind::Sound}, "s204"));
  FillTrackList(*controls_.subtitles,
                one ? SubtitleEntries(*sources[0])
                    : LanguageEntries(sources, {TrackKind::Subtitle, TrackKind::SubtitleFile}, "s205"));
  sourceSeconds_ = one ? sources[0]->durationSeconds : -1;
  controls_.duration->setText(sourceSeconds_ < 0 ? QString()
                                                 : UiQText("s222", {ClockText(static_cast<float>(sourceSeconds_))}));
}

// What the encoder told belongs to the input it read.
void TaskEditorDialog::ForgetSourceTracks() {
  sourceSeconds_ = -1;
  controls_.duration->clear();
}
