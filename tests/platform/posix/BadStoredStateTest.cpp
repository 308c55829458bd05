// Stored state that a person, another program or a damaged disk could leave behind, met
// by the real store and the window logic: each meets a clear message or the reading the
// program documents, never a crash, a hang or a store silently written over.

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "ChildProcess.h"
#include "DiskState.h"
#include "Failures.h"
#include "GameInstall.h"
#include "Session.h"
#include "app/VXDir.h"

namespace vx::test {
namespace {

using ::testing::HasSubstr;
using Boxes = std::vector<std::pair<std::string, std::string>>;
using Items = std::vector<std::string>;

struct NoOpener : MainWindowOpener {
    void OpenMainWindow() override {}
};

class BadStoredStateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Counts are read in the user's locale; these cases are written for the point.
        if (const char* all = std::getenv("LC_ALL")) {
            savedLocale_ = all;
        }
        ::setenv("LC_ALL", "C", 1);
        WriteFile(a, "AAAA");
        WriteFile(b, "BBBBBBBB");
        WriteFile(install.backup, install.game);  // any content of its own size
    }
    void TearDown() override {
        if (savedLocale_) {
            ::setenv("LC_ALL", savedLocale_->c_str(), 1);
        } else {
            ::unsetenv("LC_ALL");
        }
    }

    // The settings file exactly as `text`, as an editor would leave it.
    void WriteStore(const std::string& text) { WriteFile(install.SettingsFile(), text); }
    // A store remembering the game folder, with `count` as stored and the given entries.
    void WriteStore(const std::string& count, const std::string& entries) {
        WriteStore("[settings]\nvxpath=" + install.game + "\nmods=" + count + "\n\n[mods]\n" +
                   entries);
    }
    std::string Everything() const { return Fingerprint({install.root.Path().string()}); }
    std::optional<std::string> Stored(std::string_view section, const std::string& key) {
        return install.platform.GetSetting("Vexmoor Patchkeeper", section, key);
    }

    // Pressing Ok on the game-folder window with the game's own folder typed in.
    std::optional<Error> AcceptGameFolder() {
        Startup startup(install.platform);
        FakeMessageBoxes boxes;
        NoOpener opener;
        FakeWindow window;
        FakeTextBox text1;
        VXDir dir(startup, install.platform, boxes, opener, {window, text1});
        text1.text = install.game;
        return FailureOf([&] { dir.Command1Click(); });
    }

    GameInstall install;
    std::string a = install.archives + "/a.zpk";
    std::string b = install.archives + "/b.zpk";

  private:
    std::optional<std::string> savedLocale_;
};

TEST_F(BadStoredStateTest, ACountThatIsNoNumberOrTooLargeStopsEveryCommandAndIsKept) {
    const std::vector<std::pair<std::string, int>> cases{
        {"letters", kErrorTypeMismatch}, {"", kErrorTypeMismatch},  {"0x10", kErrorTypeMismatch},
        {"2,5", kErrorTypeMismatch},     {"32768", kErrorOverflow}, {"99999", kErrorOverflow},
        {"-32769", kErrorOverflow},      {"1e5", kErrorOverflow}};
    for (const auto& [count, number] : cases) {
        WriteStore(count, "1=" + install.backup + "\n2=" + a + "\n");
        const std::string before = Everything();
        Session session(install.platform);
        for (const auto& command : std::vector<std::function<void()>>{
                 [&] { session.Start(); }, [&] { session.Add(b); }, [&] { session.Remove(0); },
                 [&] { session.Switch(0); }}) {
            const auto error = FailureOf(command);
            ASSERT_TRUE(error) << "count \"" << count << "\"";
            EXPECT_EQ(error->Number(), number) << count;
            EXPECT_THAT(FormatError(*error), HasSubstr("the stored mod count \"" + count + "\""));
        }
        EXPECT_TRUE(session.list1.items.empty());
        EXPECT_EQ(Everything(), before) << "count \"" << count << "\"";
    }

    // Too large for any number type at all: still a failure that names the count.
    WriteStore("1e400", "1=" + install.backup + "\n");
    const std::string before = Everything();
    Session session(install.platform);
    const auto error = FailureOf([&] { session.Start(); });
    ASSERT_TRUE(error);
    EXPECT_THAT(FormatError(*error), HasSubstr("\"1e400\""));
    EXPECT_EQ(Everything(), before);
}

TEST_F(BadStoredStateTest, CountsAreReadAsTheWholeNumberBelowThem) {
    WriteStore("2.9", "1=" + install.backup + "\n2=" + a + "\n3=" + b + "\n");
    Session session(install.platform);
    session.Start();
    EXPECT_EQ(session.list1.items, (Items{install.backup, a}));
    session.Add(install.live);
    EXPECT_EQ(Stored("settings", "mods"), "3");
    EXPECT_EQ(Stored("mods", "3"), install.live);

    // A negative count lists nothing and writes nothing; Switch To finds nothing selected.
    WriteStore("-1", "1=" + install.backup + "\n");
    const std::string before = Everything();
    Session negative(install.platform);
    negative.Start();
    negative.Switch(-1);
    EXPECT_TRUE(negative.list1.items.empty());
    EXPECT_EQ(negative.boxes.shown, (Boxes{{"Select something!", "Select Something"}}));
    EXPECT_EQ(Everything(), before);
}

TEST_F(BadStoredStateTest, EntriesThatAreEmptyAbsentOrGonePointAtTheLiveArchiveAndNothingElse) {
    const std::string gone = install.archives + "/" + std::string(4000, 'g') + ".zpk";
    WriteStore("5", "1=" + install.backup + "\n2=\n4=" + a + "\n5=" + gone + "\n");
    Session session(install.platform);
    session.Start();
    EXPECT_EQ(session.boxes.shown, (Boxes{{"File not found ", "Could not find file"},
                                          {"File not found ", "Could not find file"},
                                          {"File not found " + gone, "Could not find file"}}));
    EXPECT_EQ(session.list1.items,
              (Items{install.backup, install.live, install.live, a, install.live}));
    EXPECT_EQ(session.label2.caption, "patch_vx.zpk");
    EXPECT_EQ(Stored("mods", "1"), install.backup);
    EXPECT_EQ(Stored("mods", "2"), install.live);
    EXPECT_EQ(Stored("mods", "3"), install.live);
    EXPECT_EQ(Stored("mods", "4"), a);
    EXPECT_EQ(Stored("mods", "5"), install.live);
    EXPECT_EQ(Stored("settings", "mods"), "5");
}

TEST_F(BadStoredStateTest, DuplicatedEntriesKeysAndSectionsReadAndWriteConsistently) {
    WriteFile(install.live, "AAAA");  // the size of a
    WriteStore("[settings]\nvxpath=" + install.game + "\nmods=3\n[mods]\n1=" + a + "\n2=" + a +
               "\n3=" + b + "\n3=/the second of two keys.zpk\n[settings]\nmods=99\n");
    Session session(install.platform);
    session.Start();
    EXPECT_EQ(session.list1.items, (Items{a, a, b}));
    EXPECT_EQ(session.label2.caption, "a.zpk");
    session.Add(install.archives + "/A.ZPK");  // the same path in other letter case
    EXPECT_EQ(Stored("settings", "mods"), "3");
    session.Remove(0);
    EXPECT_EQ(session.list1.items, (Items{a, b}));
    EXPECT_EQ(Stored("settings", "mods"), "2");
    // A write goes to the key that reads answer from, so it is never hidden by a twin.
    session.Add(install.live);
    EXPECT_EQ(Stored("mods", "3"), install.live);
    EXPECT_EQ(session.list1.items, (Items{a, b, install.live}));
}

TEST_F(BadStoredStateTest, UnusualPathsSurviveTheStoreARestartAndASwitch) {
    std::string deep = install.archives;
    while (deep.size() < 3700) {
        deep += "/" + std::string(240, 'd');
    }
    std::filesystem::create_directories(deep);
    const Items paths{install.archives + "/ünïcödé 模组 ✓.zpk",
                      install.archives + "/\xff\xfe not UTF-8.zpk",
                      install.archives + "/line\nbreak\r.zpk",
                      install.archives + "/ padded \t",
                      install.archives + "/\"quoted\" = ; # [x] \\n.zpk",
                      deep + "/" + std::string(4000 - deep.size() - 1, 'f')};
    ASSERT_EQ(paths.back().size(), 4000U);
    Items expected{install.backup};
    {
        Session session(install.platform);
        session.Start();
        for (std::size_t i = 0; i < paths.size(); ++i) {
            WriteFile(paths[i], std::string(10 + i, 'x'));  // sizes of their own
            session.Add(paths[i]);
            expected.push_back(paths[i]);
        }
    }
    Session restarted(install.platform);
    restarted.Start();
    EXPECT_EQ(restarted.list1.items, expected);
    EXPECT_TRUE(restarted.boxes.shown.empty());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        restarted.Switch(static_cast<int>(i + 1));
        EXPECT_EQ(ReadFile(install.live), ReadFile(paths[i])) << i;
        EXPECT_EQ(restarted.label2.caption, std::filesystem::path(paths[i]).filename().string());
    }
    EXPECT_TRUE(restarted.boxes.shown.empty());
}

TEST_F(BadStoredStateTest, ADamagedStoreIsReportedAndNeverWrittenOver) {
    const std::vector<std::pair<std::string, int>> damaged{
        {"this is not a settings file\n", 1},
        {std::string("\0\0\0\0", 4), 1},
        {"vxpath=/a key before any section\n", 1},
        {"[settings]\nvxpath=/g\n=no key\n", 3},
        {"[settings]\nvxpath=/g\nmods=1\n[mods]\n1=/a broken\nline.zpk\n", 6},
        {"[settings]\nvxpath=/g\nmods=1\n[mo", 4}};
    for (const auto& [content, line] : damaged) {
        WriteStore(content);
        const std::string before = Everything();
        Session session(install.platform);
        const auto error = FailureOf([&] { session.Start(); });
        const std::string text =
            "The settings file is damaged at line " + std::to_string(line) + ".";
        ExpectReported(error, EINVAL, install.SettingsFile(), text);
        ExpectReported(AcceptGameFolder(), EINVAL, install.SettingsFile(), text);
        EXPECT_EQ(Everything(), before) << content;
    }

    // Damaged while the program runs: every command stops before it writes anything.
    WriteStore("1", "1=" + install.backup + "\n2=" + a + "\n");
    Session session(install.platform);
    session.Start();
    WriteFile(install.SettingsFile(), "[settings]\nmods\n");
    const std::string before = Everything();
    for (const auto& command : std::vector<std::function<void()>>{
             [&] { session.Add(b); }, [&] { session.Remove(0); }, [&] { session.Switch(0); }}) {
        ExpectReported(FailureOf(command), EINVAL, install.SettingsFile(),
                       "The settings file is damaged at line 2.");
    }
    EXPECT_EQ(Everything(), before);
}

TEST_F(BadStoredStateTest, AStoreThatCannotBeReadIsReportedAndNeverReplaced) {
    std::filesystem::remove(install.SettingsFile());
    std::filesystem::create_directories(install.SettingsFile());
    WriteFile(install.SettingsFile() + "/kept.txt", "whatever the folder holds");
    const std::string before = Everything();
    Session session(install.platform);
    ExpectReported(FailureOf([&] { session.Start(); }), EISDIR, install.SettingsFile());
    ExpectReported(AcceptGameFolder(), EISDIR, install.SettingsFile());
    EXPECT_EQ(Everything(), before);
    std::filesystem::remove_all(install.SettingsFile());

    // A named pipe in its place must not keep the program waiting for a writer.
    ASSERT_EQ(::mkfifo(install.SettingsFile().c_str(), 0600), 0);
    const std::string withPipe = Everything();
    const std::string answer = RunInChild(
        [&] {
            const auto error = AcceptGameFolder();
            return error ? FormatError(*error) : std::string("no failure");
        },
        std::chrono::seconds(10));
    EXPECT_THAT(answer, ::testing::StartsWith("Error "));
    EXPECT_THAT(answer, HasSubstr(install.SettingsFile()));
    EXPECT_EQ(Everything(), withPipe);
}

TEST_F(BadStoredStateTest, AStoreWithoutReadPermissionIsReportedAndNeverReplaced) {
    WriteStore("[settings]\nvxpath=" + install.game + "\n");
    ASSERT_EQ(::chmod(install.SettingsFile().c_str(), 0200), 0);
    ASSERT_EQ(::chmod(install.root.Path().c_str(), 0755), 0);
    const std::string before = Everything();
    // Root reads whatever the permissions say, so the program runs as nobody in a copy of
    // this process.
    const std::string answer = RunInChild([&] {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
             ::setresuid(65534, 65534, 65534) != 0)) {
            return std::string("cannot leave root");
        }
        const auto error = AcceptGameFolder();
        return error ? FormatError(*error) : std::string("no failure");
    });
    EXPECT_THAT(answer, ::testing::StartsWith("Error " + std::to_string(EACCES) + ": " +
                                              std::strerror(EACCES)));
    EXPECT_THAT(answer, ::testing::EndsWith("\n\n" + install.SettingsFile()));
    EXPECT_EQ(Everything(), before);
}

}  // namespace
}  // namespace vx::test
