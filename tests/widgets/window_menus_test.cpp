// The window as a desktop program: menus that outlive their actions' handlers, items that cannot
// act disabled, the status bar, Close, the Keys and About windows, pictures too large to make,
// and settings files that are no regular files.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "grid_export.h"
#include "help_windows.h"
#include "no_pause.h"
#include "picture_box.h"
#include "settings_file.h"
#include "wav_test_files.h"
#include "widget_support.h"

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

class WindowMenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings().clear();
    Start(form);
  }
  void TearDown() override { QSettings().clear(); }

  void Browse(const std::string& file) {
    dialogs.files = {file};
    form.Command1_Click();
  }
  std::string Status() const { return form.StatusLine().toStdString(); }

  TempFolder folder;
  ScriptedDialogs dialogs;
  Form1 form{"", dialogs, kNoPause};
};

QAction* Entry(const QMenu& menu, const QString& text) {
  for (QAction* action : menu.actions()) {
    if (action->text() == text) return action;
  }
  return nullptr;
}

TEST_F(WindowMenusTest, AMenuEntryLoadsOnlyOnceItsMenuIsDoneAndNoMenuIsDestroyed) {
  const std::string first = WriteRamp(folder, "first.mls", 4, 5);
  const std::string second = WriteRamp(folder, "second.mls", 6, 7);
  Browse(first);
  Browse(second);
  QPointer<QMenu> context = form.Menus()->ContextMenu();
  QPointer<QMenu> recent = form.Menus()->RecentFilesMenu();
  ASSERT_EQ(Entry(*context, "Recent files")->menu(), recent.data());
  for (const std::string& expected : {first, second}) {
    emit recent->aboutToShow();                // filled as it opens
    QAction* entry = recent->actions().at(1);  // the older of the two
    ASSERT_EQ(entry->text().toStdString(), expected);
    entry->trigger();
    // Nothing runs inside the entry's handler: the load starts from the event loop.
    EXPECT_NE(form.State().LevelGrid.MicCount(), expected == first ? 4 : 6);
    QTest::qWait(0);
    EXPECT_EQ(form.Text1()->text().toStdString(), expected);
    ASSERT_FALSE(context.isNull());
    ASSERT_FALSE(recent.isNull());
  }
}

TEST_F(WindowMenusTest, ReferenceItemsActOnlyWithAReference) {
  const WindowActions& actions = form.WindowActionSet();
  Browse(WriteRamp(folder, "main.mls", 4, 5));
  EXPECT_FALSE(actions.showNext->isEnabled());
  EXPECT_FALSE(actions.dropReference->isEnabled());
  EXPECT_TRUE(actions.close->isEnabled());

  dialogs.files = {WriteRamp(folder, "ref.mls", 4, 5)};
  form.LoadReference();
  EXPECT_TRUE(actions.showNext->isEnabled());
  EXPECT_TRUE(actions.dropReference->isEnabled());
  actions.showNext->trigger();
  QTest::qWait(0);
  EXPECT_THAT(Status(), StartsWith("ref.mls · MLS spectrum · 4 × 5"));
  EXPECT_THAT(Status(), HasSubstr("· reference"));
  actions.dropReference->trigger();
  QTest::qWait(0);
  EXPECT_FALSE(actions.showNext->isEnabled());
  EXPECT_THAT(Status(), HasSubstr("main.mls"));
}

// Export grid… writes the levels of the map shown as the renderer's --grid does.
TEST_F(WindowMenusTest, ExportGridWritesTheShownLevels) {
  const WindowActions& actions = form.WindowActionSet();
  EXPECT_FALSE(actions.exportGrid->isEnabled());  // no map yet
  Browse(WriteRamp(folder, "main.mls", 4, 5));
  ASSERT_TRUE(actions.exportGrid->isEnabled());
  for (const char* name : {"levels.csv", "levels.npy"}) {
    const std::string path = (folder.Path() / name).string();
    dialogs.saves = {path};
    actions.exportGrid->trigger();
    QTest::qWait(0);
    std::ostringstream expected;
    const bool csv = std::string(name).ends_with(".csv");
    csv ? WriteCsv(form.State().LevelGrid, expected) : WriteNpy(form.State().LevelGrid, expected);
    std::ifstream written(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), expected.str()) << name;
  }
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(WindowMenusTest, TheStatusBarNamesTheFileAndWhereItsTimeScaleComesFrom) {
  EXPECT_EQ(Status(), "No file");
  std::vector<std::int16_t> samples(8 * 800, 0);
  for (std::size_t i = 0; i < samples.size(); i += 800) samples[i + 40] = 20000;
  const std::string take = folder.Write("take.wav", MonoWav16(8000, samples));
  dialogs.inputs = {"0.1"};
  Browse(take);
  EXPECT_EQ(Status(),
            "take.wav · WAV recording · 8 × 199 · 8000 Hz · zoom 100% · Grey · "
            "span 100 10·ln E (43.43 dB) · measurement");
  EXPECT_EQ(form.View()->LegendNote(), "");

  // An .mls keeps the recording's rate: both say whose rate it is.
  Browse(WriteRamp(folder, "room.mls", 3, 4));
  EXPECT_THAT(Status(), HasSubstr("room.mls · MLS spectrum · 3 × 4 · time from take.wav's rate, "
                                  "8000 Hz · "));
  EXPECT_EQ(form.View()->LegendNote(), "time from take.wav's rate, 8000 Hz");

  // Close empties the window; the next .mls has no rate.
  form.WindowActionSet().close->trigger();
  QTest::qWait(0);
  EXPECT_EQ(Status(), "No file");
  EXPECT_EQ(form.windowTitle(), "MLS Vexal");
  EXPECT_EQ(form.Text1()->text(), "");
  EXPECT_EQ(form.State().LevelGrid.MicCount(), 0);
  EXPECT_FALSE(form.WindowActionSet().close->isEnabled());
  Browse(WriteRamp(folder, "alone.mls", 3, 4));
  EXPECT_THAT(Status(), HasSubstr("3 × 4 · no rate (rows) · "));
}

TEST_F(WindowMenusTest, APictureTooLargeToMakeIsRefusedBeforeItIsBuilt) {
  PaintGrid(form, dialogs, 2000, 1000);
  for (int i = 0; i < 9; ++i) QTest::keyClick(form.Picture1(), Qt::Key_Equal, Qt::ControlModifier);
  ASSERT_EQ(form.View()->CurrentZoom(), (Zoom{32, 1}));  // 64000 x 32000 grey pixels: 1953 MiB
  QGuiApplication::clipboard()->setText("before");
  QTest::keyClick(form.Picture1(), Qt::Key_C, Qt::ControlModifier);
  QTest::keyClick(form.Picture1(), Qt::Key_S, Qt::ControlModifier);
  QTest::qWait(0);
  ASSERT_EQ(dialogs.errors.size(), 2u);
  EXPECT_EQ(dialogs.errors[0],
            "Cannot copy the view: the picture of 64000 x 32000 pixels would take 1953 MiB, more "
            "than the 1024 MiB allowed; zoom out first.");
  EXPECT_THAT(dialogs.errors[1], StartsWith("Cannot save the view: the picture of 64000 x 32000"));
  EXPECT_TRUE(dialogs.saveDialogs.empty());  // refused before a name is asked for
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
  EXPECT_EQ(form.View()->CurrentZoom(), (Zoom{32, 1}));
}

TEST_F(WindowMenusTest, ZoomStopsBeforeTheMapOutgrowsTheWindowSystem) {
  PaintGrid(form, dialogs, 1, 600000);  // 24:1 is 14.4 million pixels high, 32:1 too many
  for (int i = 0; i < 9; ++i) QTest::keyClick(form.Picture1(), Qt::Key_Equal, Qt::ControlModifier);
  EXPECT_EQ(form.View()->CurrentZoom(), (Zoom{24, 1}));
  EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(WindowMenusTest, KeysListEveryActionAndAboutGivesVersionAndLicence) {
  const auto rows = KeyRows(form.actions());
  std::vector<std::string> texts;
  for (const auto& row : rows) texts.push_back(row.second.toStdString());
  for (QAction* action : form.actions()) {
    EXPECT_THAT(texts, Contains(action->text().toStdString()));
  }
  EXPECT_THAT(texts, Contains(StartsWith("Zoom about the cursor")));
  const auto keys =
      std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row.second == "Keys"; });
  ASSERT_NE(keys, rows.end());
  EXPECT_EQ(keys->first, "F1");

  form.WindowActionSet().keys->trigger();
  QTest::qWait(0);
  auto* window = form.findChild<QDialog*>("KeysWindow");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  window->close();

  form.WindowActionSet().about->trigger();
  QTest::qWait(0);
  ASSERT_EQ(dialogs.informations.size(), 1u);
  EXPECT_THAT(dialogs.informations[0], StartsWith("About MLS Vexal: MLS Vexal 0."));
  EXPECT_THAT(dialogs.informations[0], HasSubstr("GPL-3.0-or-later"));
}

TEST(SettingsFile, OnlyARegularFileOrNoneHoldsSettings) {
  TempFolder folder;
  const std::filesystem::path dir = folder.Path();
  const std::string regular = folder.Write("regular.conf", std::string("[view]\n"));
  ASSERT_EQ(::mkfifo((dir / "fifo.conf").c_str(), 0600), 0);
  std::filesystem::create_directory(dir / "folder.conf");
  std::filesystem::create_symlink(dir / "fifo.conf", dir / "to-fifo.conf");
  std::filesystem::create_symlink(regular, dir / "to-regular.conf");
  std::filesystem::create_symlink(dir / "missing", dir / "dangling.conf");
  const struct {
    const char* name;
    std::optional<QString> refusal;
  } cases[] = {
      {"regular.conf", std::nullopt},    {"missing.conf", std::nullopt},
      {"to-regular.conf", std::nullopt}, {"dangling.conf", std::nullopt},
      {"fifo.conf", "is a FIFO"},        {"to-fifo.conf", "is a FIFO"},
      {"folder.conf", "is a folder"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SettingsFileRefusal(QString::fromStdString((dir / c.name).string())), c.refusal)
        << c.name;
  }
}

// The settings file of this test process replaced by a FIFO: the choices go to a folder of the
// session's own, without blocking, and the FIFO is left as it was.
TEST(SettingsFile, AFifoIsLeftAloneAndTheChoicesLastForTheSession) {
  const QString file = SettingsFiles().front();
  ASSERT_FALSE(file.isEmpty());
  std::filesystem::create_directories(std::filesystem::path(file.toStdString()).parent_path());
  std::filesystem::remove(file.toStdString());
  ASSERT_EQ(::mkfifo(file.toLocal8Bit().constData(), 0600), 0);
  {
    const auto session = KeepSettingsSafe();
    ASSERT_NE(session, nullptr);
    QSettings().setValue("view/palette", "magma");
    QSettings().sync();
    EXPECT_EQ(QSettings().value("view/palette").toString(), "magma");
    EXPECT_THAT(QSettings().fileName().toStdString(), StartsWith(session->path().toStdString()));
    // Back to the process's own settings folder for the other tests.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
      QSettings::setPath(QSettings::NativeFormat, scope,
                         scope == QSettings::UserScope ? config : "/etc/xdg");
      QSettings::setPath(QSettings::IniFormat, scope,
                         scope == QSettings::UserScope ? config : "/etc/xdg");
    }
  }
  struct stat info {};
  ASSERT_EQ(::lstat(file.toLocal8Bit().constData(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  std::filesystem::remove(file.toStdString());
}

}  // namespace
