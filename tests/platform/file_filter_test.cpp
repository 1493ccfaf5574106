#include "platform/qt/file_filter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

using zevo::platform::qt::CaseFreePattern;
using zevo::platform::qt::QtNameFilters;

namespace {

// The patterns Qt's file dialog takes from one "Label (patterns)" entry.
QStringList PatternsOf(const QString& entry) {
  static const QRegularExpression re(QStringLiteral("^(.*)\\(([^()]*)\\)$"));
  const auto m = re.match(entry);
  return m.hasMatch() ? m.captured(2).split(QLatin1Char(' '), Qt::SkipEmptyParts) : QStringList();
}

}  // namespace

TEST(FileFilter, ClassicFormBecomesQtEntriesWithTheLabelsAsWritten) {
  EXPECT_EQ(QtNameFilters("JPEG Image (*.jpg;*.jpeg)|*.jpg;*.jpeg|Bitmap Image (*.bmp)|*.bmp"),
            "JPEG Image (*.jpg;*.jpeg) (*.[jJ][pP][gG] *.[jJ][pP][eE][gG]);;"
            "Bitmap Image (*.bmp) (*.[bB][mM][pP])");
  EXPECT_EQ(QtNameFilters("Stroke files|*.stk|All files|*.*"),
            "Stroke files (*.[sS][tT][kK]);;All files (*)");
  // The model-sheet filter's own "*smp" pattern is kept as it is written.
  EXPECT_EQ(QtNameFilters("Sheets|*.stk;*smp"), "Sheets (*.[sS][tT][kK] *[sS][mM][pP])");
}

TEST(FileFilter, IncompleteAndEmptyPartsAreDropped) {
  EXPECT_EQ(QtNameFilters(""), "");
  EXPECT_EQ(QtNameFilters("Stroke files"), "");              // a label without patterns
  EXPECT_EQ(QtNameFilters("A|*.a|Dangling"), "A (*.[aA])");  // trailing label
  EXPECT_EQ(QtNameFilters("Empty||B|*.b"), "B (*.[bB])");    // empty pattern list
  EXPECT_EQ(QtNameFilters("|*.c"), "*.c (*.[cC])");          // no label: the patterns name it
  EXPECT_EQ(QtNameFilters("Spaces| *.d ; ;*.e |"), "Spaces (*.[dD] *.[eE])");
}

TEST(FileFilter, PatternsMatchWhateverTheCaseAsQtAppliesThem) {
  EXPECT_EQ(CaseFreePattern("*.*"), "*");
  EXPECT_EQ(CaseFreePattern("Image??.jp*"), "[iI][mM][aA][gG][eE]??.[jJ][pP]*");

  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char* name : {"Image01.JPG", "b.jpeg", "c.Bmp", "d.txt", "noext"}) {
    QFile f(dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  const QStringList entries =
      QString::fromStdString(
          QtNameFilters("JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg|Bitmaps|*.bmp|All File (*.*)|*.*"))
          .split(QStringLiteral(";;"));
  ASSERT_EQ(entries.size(), 3);
  // A case-sensitive listing proves the patterns themselves carry both cases.
  const auto list = [&](const QString& entry) {
    return QDir(dir.path())
        .entryList(PatternsOf(entry), QDir::Files | QDir::CaseSensitive, QDir::Name);
  };
  EXPECT_EQ(list(entries[0]), (QStringList{"Image01.JPG", "b.jpeg"}));
  EXPECT_EQ(list(entries[1]), (QStringList{"c.Bmp"}));
  EXPECT_EQ(list(entries[2]).size(), 5);  // "*.*" is every file, with or without a dot
}
