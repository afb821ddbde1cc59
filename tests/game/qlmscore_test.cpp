#include "game/qlmscore.h"

#include "egl/egltext.h"
#include "game/qlmcounter.h"
#include "game/qlmscorestars.h"
#include "game/qlmscoretable.h"
#include "tests/dbgtesting.h"
#include "tests/fifotesting.h"
#include "tests/game/screentesting.h"

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <cerrno>
#include <cstddef>
#include <fcntl.h>
#include <grp.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

/// The table the build generates, as the file holds it.
const std::string GENERATED_TABLE = "Nova Quill\n60000\nZed Marlow\n45000\nIvy Sparks\n32000\nOrla Venn\n24000\n"
                                    "Kip Fennick\n17500\nMira Flux\n12000\nJuno Vale\n8000\nRex Cobalt\n5000\n"
                                    "Tess Ember\n2500\nPim Lantern\n1000\n";

std::string names()
{
    std::string text;
    for (const QLMScoreRecord* const record : scoreRecords())
        text += record->name() + "|";
    return text;
}

void expectRanksOneToTen()
{
    for (std::size_t i = 0; i < scoreRecords().size(); ++i)
    {
        EXPECT_EQ(scoreRecords()[i]->rank(), static_cast<int>(i + 1));
        EXPECT_EQ(scoreRecords()[i]->rankLabel()->text(), std::to_string(i + 1) + ".");
    }
}

/// The user and group a root test drops to, so that file permissions bind it as they bind a player ("nobody").
constexpr uid_t PLAYER_ID = 65534;

/// Runs the action in a child process as a player: when this process is root, the child first drops to PLAYER_ID.
/// Returns what thrownBy says of the action, or an empty text when the child could not drop its rights.
std::string thrownAsPlayer(const std::function<void()>& action)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child < 0)
        return "no child";
    if (child == 0)
    {
        ::close(ends[0]);
        std::string text;
        if (::geteuid() != 0 || (::setgroups(0, nullptr) == 0 && ::setgid(PLAYER_ID) == 0 && ::setuid(PLAYER_ID) == 0))
            text = thrownBy(action);
        const bool sent = ::write(ends[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(ends[1]);
    std::string text;
    char buffer[256];
    for (ssize_t count; (count = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(count));
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child ended by signal or could not report";
    return text;
}

/// Sets the permission bits of the file or folder, given in octal as in "0644".
void setPermissions(const std::string& name, const std::string& octal)
{
    std::filesystem::permissions(name, std::filesystem::perms(std::stoi(octal, nullptr, 8)));
}

/// The file's permission bits in octal, as in "0644".
std::string permissionsOf(const std::string& name)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o",
                  static_cast<unsigned>(std::filesystem::symlink_status(name).permissions()));
    return text;
}

/// The name this process's save gives the new table before it renames it over the old one.
std::string newFileOfThisProcess()
{
    return "highscores.txt.new-" + std::to_string(::getpid());
}

/// The names in the folder that a save made beside the table and left there, one per line.
std::string leftoversIn(const std::string& folder)
{
    std::string names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("highscores.txt.") || name.starts_with("table.txt."))
            names += name + "\n";
    }
    return names;
}

/// Makes this process's changes of owner and mode fail as a file system without Unix owners and modes answers them
/// (FAT through FUSE, an SMB share). False when the kernel takes no filter.
bool refuseOwnersAndModes()
{
    std::vector<sock_filter> filter = {BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
    for (const unsigned call : {SYS_fchmod, SYS_fchmodat, SYS_fchown, SYS_fchownat})
    {
        filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, call, 0, 1));
        filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSYS));
    }
    filter.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    const sock_fprog program = {static_cast<unsigned short>(filter.size()), filter.data()};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program, 0, 0) == 0;
}

/// The table alone, loaded from the working folder's file.
class ScoreTableTest : public ScreenTest
{
protected:
    void TearDown() override
    {
        if (scoreTableInvariant())
            destroyScoreTable();
        ScreenTest::TearDown();
    }
};

TEST_F(ScoreTableTest, LoadsTheFileSortedAndRanked)
{
    writeFile("highscores.txt", "Low\n10\nFirst of 50\n50\nHigh\n90\nSecond of 50\n50\n" + std::string("Neg\n-3\n") +
                                    "F\n1\nG\n1\nH\n1\nI\n1\nJ\n1\n");
    loadScoreTable();
    ASSERT_TRUE(scoreTableInvariant());
    EXPECT_EQ(names(), "High|First of 50|Second of 50|Low|F|G|H|I|J|Neg|");
    expectRanksOneToTen();
}

TEST_F(ScoreTableTest, AnInsertionRanksBelowEqualScoresDropsTheLowestAndRewritesTheFile)
{
    loadScoreTable();
    insertHighscore("Newcomer", 12000);
    EXPECT_EQ(names(), "Nova Quill|Zed Marlow|Ivy Sparks|Orla Venn|Kip Fennick|Mira Flux|Newcomer|Juno Vale|"
                       "Rex Cobalt|Tess Ember|");
    expectRanksOneToTen();
    std::string expected = GENERATED_TABLE;
    expected.insert(expected.find("Juno Vale"), "Newcomer\n12000\n");
    expected.erase(expected.find("Pim Lantern"));
    EXPECT_EQ(readFile("highscores.txt"), expected);
    EXPECT_EQ(leftoversIn("."), "");

    insertHighscore("", -5);
    EXPECT_EQ(scoreRecords().back()->name(), "Tess Ember") << "the lowest score leaves at once";
    insertHighscore("", 3000);
    EXPECT_EQ(scoreRecords()[9]->name(), "Anonymous");
    EXPECT_EQ(scoreRecords()[9]->scoreLabel()->text(), "3000p.");

    // What was saved loads back as it was.
    const std::string saved = names();
    destroyScoreTable();
    loadScoreTable();
    EXPECT_EQ(names(), saved);
}

TEST_F(ScoreTableTest, AFileOfMoreThanTenRecordsLoadsTheFirstTenAndSavesOnlyThem)
{
    writeFile("highscores.txt", GENERATED_TABLE + "Eleventh\n99999\n");
    loadScoreTable();
    EXPECT_EQ(scoreRecords().front()->name(), "Nova Quill");
    saveScoreTable();
    EXPECT_EQ(readFile("highscores.txt"), GENERATED_TABLE);
}

TEST_F(ScoreTableTest, AMissingShortOrMalformedFileLeavesTheTableEmptyAndUntouched)
{
    const struct
    {
        const char* what;
        std::string content;
        std::string thrown;
    } cases[] = {
        {"nine records", GENERATED_TABLE.substr(0, GENERATED_TABLE.find("Pim")), "Assertion failure: !file.eof()"},
        {"a score that is not a number", "Ann\nmany\n" + GENERATED_TABLE,
         "Assertion failure: \"highscores.txt holds a name line and a score line per record.\" && !file.fail()"},
    };
    for (const auto& c : cases)
    {
        writeFile("highscores.txt", c.content);
        EXPECT_EQ(thrownBy([] { loadScoreTable(); }), c.thrown) << c.what;
        EXPECT_TRUE(scoreRecords().empty()) << c.what;
        EXPECT_FALSE(scoreTableInvariant()) << c.what;
        EXPECT_EQ(readFile("highscores.txt"), c.content) << c.what;
    }

    std::filesystem::remove("highscores.txt");
    EXPECT_EQ(thrownBy([] { loadScoreTable(); }),
              "Assertion failure: \"highscores.txt opened for reading.\" && file.is_open()");

    // A good file loads after the failures.
    writeFile("highscores.txt", GENERATED_TABLE);
    loadScoreTable();
    EXPECT_TRUE(scoreTableInvariant());
}

TEST_F(ScoreTableTest, AFIFOAFolderOrADeviceInPlaceOfTheFileFailsTheOpenCheckWithoutWaiting)
{
    const std::string openCheck = "Assertion failure: \"highscores.txt opened for reading.\" && file.is_open()";
    std::filesystem::remove("highscores.txt");
    std::string thrown;
    EXPECT_FALSE(readWaitsOnFIFO("highscores.txt", [&] { thrown = thrownBy([] { loadScoreTable(); }); }));
    EXPECT_EQ(thrown, openCheck) << "a FIFO";

    std::filesystem::create_directory("highscores.txt");
    EXPECT_EQ(thrownBy([] { loadScoreTable(); }), openCheck) << "a folder";
    std::filesystem::remove("highscores.txt");
    std::filesystem::create_symlink("/dev/zero", "highscores.txt");
    EXPECT_EQ(thrownBy([] { loadScoreTable(); }), openCheck) << "a device";
    EXPECT_TRUE(scoreRecords().empty());
    EXPECT_FALSE(scoreTableInvariant());
}

TEST_F(ScoreTableTest, ASaveThatCannotWriteFailsAndKeepsTheOldFile)
{
    loadScoreTable();
    std::filesystem::create_directory(newFileOfThisProcess());
    EXPECT_EQ(thrownBy([] { insertHighscore("Lost", 70000); }),
              "Assertion failure: \"highscores.txt.new opened for writing.\" && failed != EGCReplaceStep::CREATE_NEW");
    EXPECT_EQ(readFile("highscores.txt"), GENERATED_TABLE);
}

TEST_F(ScoreTableTest, ASaveReplacesWhatIsInTheNewFilesPlaceAndNeverFollowsALink)
{
    namespace fs = std::filesystem;
    const struct
    {
        const char* what;
        void (*place)();
    } cases[] = {
        {"a file left by a crash", [] { writeFile(newFileOfThisProcess(), "Half\n12"); }},
        {"a link to another file", [] { fs::create_symlink("victim.txt", newFileOfThisProcess()); }},
        {"a link to no file", [] { fs::create_symlink("made.txt", newFileOfThisProcess()); }},
    };
    loadScoreTable();
    for (const auto& c : cases)
    {
        writeFile("highscores.txt", GENERATED_TABLE);
        writeFile("victim.txt", "keep me\n");
        c.place();
        saveScoreTable();
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("highscores.txt"))) << c.what;
        EXPECT_EQ(readFile("highscores.txt"), GENERATED_TABLE) << c.what;
        EXPECT_EQ(leftoversIn("."), "") << c.what;
        EXPECT_EQ(readFile("victim.txt"), "keep me\n") << c.what;
        EXPECT_FALSE(fs::exists("made.txt")) << c.what;
        fs::remove("made.txt");
    }
}

TEST_F(ScoreTableTest, ASavedTableKeepsItsPermissionsAndAMissingOneIsMadeWithTheUsualOnes)
{
    // The usual umask, which would widen a private table to 0644 if the new file took the default.
    const mode_t previousUmask = ::umask(022);
    loadScoreTable();
    for (const char* const permissions : {"0600", "0664"})
    {
        setPermissions("highscores.txt", permissions);
        insertHighscore("Private", 70000);
        EXPECT_EQ(permissionsOf("highscores.txt"), permissions);
    }
    std::filesystem::remove("highscores.txt");
    saveScoreTable();
    EXPECT_EQ(permissionsOf("highscores.txt"), "0644");
    EXPECT_EQ(readFile("highscores.txt").substr(0, 14), "Private\n70000\n");
    ::umask(previousUmask);
}

TEST_F(ScoreTableTest, ASaveThePlayerMayNotMakeFailsAndLeavesTheTableAsItWas)
{
    namespace fs = std::filesystem;
    const struct
    {
        const char* what;
        const char* table; // permissions, octal
        const char* folder;
        rlim_t fileSizeLimit; // bytes; 0 for none
        std::string thrown;
    } cases[] = {
        {"a read-only table", "0444", "0777", 0,
         "Assertion failure: \"highscores.txt opened for writing.\" && failed != EGCReplaceStep::OPEN_OLD"},
        {"a full disk", "0666", "0777", 16,
         "Assertion failure: \"highscores.txt.new written.\" && failed != EGCReplaceStep::WRITE_NEW"},
    };
    loadScoreTable();
    for (const auto& c : cases)
    {
        setPermissions("highscores.txt", c.table);
        setPermissions(".", c.folder);
        const std::string thrown = thrownAsPlayer(
            [&c]
            {
                if (c.fileSizeLimit)
                {
                    // Past the limit a write fails as on a full disk, instead of the signal ending the process.
                    std::signal(SIGXFSZ, SIG_IGN);
                    const rlimit limit = {c.fileSizeLimit, c.fileSizeLimit};
                    DBG_ASSERT(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
                }
                saveScoreTable();
            });
        setPermissions(".", "0755");
        if (thrown.empty())
            GTEST_SKIP() << "running as root, and the user " << PLAYER_ID << " to run the save as is not available";
        EXPECT_EQ(thrown, c.thrown) << c.what;
        EXPECT_EQ(readFile("highscores.txt"), GENERATED_TABLE) << c.what;
        EXPECT_EQ(permissionsOf("highscores.txt"), c.table) << c.what;
        EXPECT_EQ(leftoversIn("."), "") << c.what;
    }
}

TEST_F(ScoreTableTest, ATableThePlayerMayWriteIsRewrittenInPlaceWhereNoNewFileCanReplaceIt)
{
    const struct
    {
        const char* what;
        const char* folder; // permissions, octal
        std::string old;    // shorter and longer than the new table
    } cases[] = {
        {"a folder the player may not change", "0555", "Old\n1\n"},
        // Anyone may add a file, but only the table's owner may rename over it.
        {"a shared folder with the sticky bit", "1777", GENERATED_TABLE + "Left over\n7\n"},
    };
    loadScoreTable();
    for (const auto& c : cases)
    {
        writeFile("highscores.txt", c.old);
        setPermissions("highscores.txt", "0666");
        setPermissions(".", c.folder);
        struct stat old = {};
        ::stat("highscores.txt", &old);
        const std::string thrown = thrownAsPlayer([] { saveScoreTable(); });
        setPermissions(".", "0755");
        if (thrown.empty())
            GTEST_SKIP() << "running as root, and the user " << PLAYER_ID << " to run the save as is not available";
        EXPECT_EQ(thrown, "nothing thrown") << c.what;
        EXPECT_EQ(readFile("highscores.txt"), GENERATED_TABLE) << c.what;
        struct stat saved = {};
        ::stat("highscores.txt", &saved);
        // Run as the player, the table is another user's: no rename may replace it.
        if (::geteuid() == 0)
        {
            EXPECT_EQ(saved.st_ino, old.st_ino) << c.what << ": the same file, rewritten";
        }
        EXPECT_EQ(permissionsOf("highscores.txt"), "0666") << c.what;
        EXPECT_EQ(leftoversIn("."), "") << c.what;
    }
}

TEST_F(ScoreTableTest, ALinkedTableStaysALinkAndTheTableItNamesIsReplacedInItsOwnFolder)
{
    namespace fs = std::filesystem;
    const std::string elsewhere = (fs::current_path() / "elsewhere").string();
    const struct
    {
        const char* what;
        std::string link;  // what "highscores.txt" names
        std::string table; // the file that holds the table, from the working folder
    } cases[] = {
        {"a link into another folder", "elsewhere/table.txt", "elsewhere/table.txt"},
        {"a link by a full path", elsewhere + "/table.txt", "elsewhere/table.txt"},
        {"a link to a link beside the table", "elsewhere/link.txt", "elsewhere/table.txt"},
        {"a link to a table not made yet", "elsewhere/made.txt", "elsewhere/made.txt"},
    };
    loadScoreTable();
    fs::create_directory("elsewhere");
    fs::create_symlink("table.txt", "elsewhere/link.txt");
    for (const auto& c : cases)
    {
        writeFile("elsewhere/table.txt", "Old\n1\n");
        fs::remove("highscores.txt");
        fs::create_symlink(c.link, "highscores.txt");
        saveScoreTable();
        ASSERT_TRUE(fs::is_symlink(fs::symlink_status("highscores.txt"))) << c.what;
        EXPECT_EQ(fs::read_symlink("highscores.txt").string(), c.link) << c.what;
        EXPECT_EQ(readFile(c.table), GENERATED_TABLE) << c.what;
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status("elsewhere/link.txt"))) << c.what;
        EXPECT_EQ(leftoversIn("."), "") << c.what;
        EXPECT_EQ(leftoversIn("elsewhere"), "") << c.what;
        fs::remove("elsewhere/made.txt");
    }
    fs::remove("highscores.txt");
    fs::create_symlink("highscores.txt", "highscores.txt");
    EXPECT_EQ(thrownBy([] { saveScoreTable(); }),
              "Assertion failure: \"highscores.txt opened for writing.\" && failed != EGCReplaceStep::OPEN_OLD")
        << "a link to itself";
}

TEST_F(ScoreTableTest, AFileSystemThatRefusesOwnersAndModesStillTakesTheSave)
{
    // The usual umask narrows the new file, so the table's mode must be set on it, and is refused.
    const mode_t previousUmask = ::umask(022);
    loadScoreTable();
    setPermissions("highscores.txt", "0666");
    setPermissions(".", "0777");
    writeFile("highscores.txt", "Old\n1\n");
    const std::string thrown = thrownAsPlayer(
        []
        {
            DBG_ASSERT(refuseOwnersAndModes());
            saveScoreTable();
        });
    setPermissions(".", "0755");
    ::umask(previousUmask);
    if (thrown.empty())
        GTEST_SKIP() << "running as root, and the user " << PLAYER_ID << " to run the save as is not available";
    EXPECT_EQ(thrown, "nothing thrown");
    EXPECT_EQ(readFile("highscores.txt"), GENERATED_TABLE);
    EXPECT_EQ(permissionsOf("highscores.txt"), "0644") << "what the file system gave";
    EXPECT_EQ(leftoversIn("."), "");
}

TEST_F(ScoreTableTest, ASaveByRootKeepsTheTablesOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    loadScoreTable();
    ASSERT_EQ(::chown("highscores.txt", PLAYER_ID, PLAYER_ID), 0);
    saveScoreTable();
    struct stat saved = {};
    ASSERT_EQ(::stat("highscores.txt", &saved), 0);
    EXPECT_EQ(saved.st_uid, PLAYER_ID);
    EXPECT_EQ(saved.st_gid, PLAYER_ID);
    EXPECT_EQ(readFile("highscores.txt"), GENERATED_TABLE);
}

TEST_F(ScoreTableTest, APipeInTheTablesPlaceFailsTheSaveAtOnceAndStaysAPipe)
{
    loadScoreTable();
    std::filesystem::remove("highscores.txt");
    ASSERT_EQ(::mkfifo("highscores.txt", 0666), 0);
    const std::string refused =
        "Assertion failure: \"highscores.txt opened for writing.\" && failed != EGCReplaceStep::OPEN_OLD";
    EXPECT_EQ(thrownBy([] { saveScoreTable(); }), refused) << "no reader";

    // With a reader the pipe would take the table, but a pipe is no table to keep it.
    const int reader = ::open("highscores.txt", O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(thrownBy([] { saveScoreTable(); }), refused) << "a reader";
    char received = 0;
    EXPECT_LE(::read(reader, &received, 1), 0) << "nothing reached the pipe";
    ::close(reader);
    EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status("highscores.txt")));
    EXPECT_EQ(leftoversIn("."), "");
}

TEST_F(ScoreTableTest, SavesOfTwoProcessesIntoOneFolderAtOnceNeverBreakEachOther)
{
    constexpr int SAVES = 150; // per process
    loadScoreTable();
    pid_t children[2];
    for (pid_t& child : children)
    {
        child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            int failures = 0;
            for (int save = 0; save < SAVES; ++save)
                failures += thrownBy([] { saveScoreTable(); }) != "nothing thrown";
            ::_exit(std::min(failures, 255));
        }
    }
    for (const pid_t child : children)
    {
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "saves that failed, of " << SAVES;
    }
    EXPECT_EQ(readFile("highscores.txt"), GENERATED_TABLE);
    EXPECT_EQ(leftoversIn("."), "");
}

TEST_F(ScoreTableTest, AHighScoreMustBeatTheLowestOfTheTable)
{
    loadScoreTable();
    ECACondition* const isHighscore = createIsHighscoreCondition();
    // The condition ignores the machine it is asked for.
    ECAState* const state = ECA::createState(ECA::nullAction(), ECA::nullAction(), ECA::nullProcess(), 0.0);
    ECAMachineType* const type = ECA::createMachineType({state}, {}, {}, {}, state, state);
    {
        ECAMachine anyMachine(type);
        for (const auto& [score, expected] : {std::pair{1000, false}, {1001, true}, {-7, false}, {60001, true}})
        {
            QLMScoreCounter::instance().reset();
            QLMScoreCounter::instance().add(score);
            EXPECT_EQ(isHighscore->evaluate(anyMachine), expected) << score;
        }
    }
    deleteIsHighscoreCondition(isHighscore);
    deleteIsHighscoreCondition(nullptr);
    ECA::destroyMachineType(type);
    ECA::destroyState(state);
}

/// The whole screen with its machine, driven by the coordinator's events and the keys.
class ScoreScreenTest : public ScreenTest
{
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        initializeScore();
    }

    void TearDown() override
    {
        post(QLMEventID::QUIT_EVENT_ID);
        shutdownScore();
        ScreenTest::TearDown();
    }
};

TEST_F(ScoreScreenTest, OpensTheStarFieldTableAndNameEntry)
{
    EXPECT_EQ(scoreStars().size(), STAR_COUNT);
    EXPECT_TRUE(scoreTableInvariant());
    EXPECT_TRUE(scoreInputInvariant());
    EXPECT_EQ(scoreNameLabel()->text(), "><");
    EXPECT_EQ(ECA::machines().size(), 1u);
}

TEST_F(ScoreScreenTest, TheNameEntryShowsTypedTextWithBackspaceAndReturnStoresItWithTheScore)
{
    QLMScoreCounter::instance().reset();
    QLMScoreCounter::instance().add(20000);
    characterBuffer() = "left over";
    post(QLMEventID::NAME_ENTRY_ENTERED_EVENT_ID);
    runFrame();
    EXPECT_EQ(scoreNameLabel()->text(), "><") << "the entry starts empty";

    hosttest::typeText("Bea");
    tapKey(VK_BACK);
    hosttest::typeText("n");
    runFrame();
    runFrame();
    EXPECT_EQ(scoreNameLabel()->text(), ">Ben<");

    tapKey(VK_RETURN);
    runFrame();
    EXPECT_EQ(scoreRecords()[4]->name(), "Ben");
    EXPECT_EQ(scoreRecords()[4]->score(), 20000);
    EXPECT_NE(readFile("highscores.txt").find("Orla Venn\n24000\nBen\n20000\nKip Fennick\n"), std::string::npos);

    // Return again, now on the table, stores nothing more.
    tapKey(VK_RETURN);
    runFrame();
    EXPECT_EQ(scoreRecords()[5]->name(), "Kip Fennick");
}

TEST_F(ScoreScreenTest, ReturnWithoutTypingStoresAnonymous)
{
    QLMScoreCounter::instance().reset();
    QLMScoreCounter::instance().add(1001);
    post(QLMEventID::NAME_ENTRY_ENTERED_EVENT_ID);
    tapKey(VK_RETURN);
    runFrame();
    EXPECT_EQ(scoreRecords().back()->name(), "Anonymous");
    EXPECT_EQ(scoreRecords().back()->score(), 1001);
}

TEST_F(ScoreScreenTest, DrawsOnlyWhileTheHallOfFameOrTheNameEntryIsShown)
{
    const auto clearsOfAFrame = []
    {
        hosttest::resetD3D8Counters();
        runFrame();
        return hosttest::d3d8Counters().clears;
    };
    EXPECT_EQ(clearsOfAFrame(), 0) << "idle";
    post(QLMEventID::HALL_OF_FAME_ENTERED_EVENT_ID);
    EXPECT_EQ(clearsOfAFrame(), 1) << "hall of fame";
    EXPECT_EQ(pixelAt(-799.0f, 599.0f) & 0x0000FF, 0x40u) << "the dark blue background";
    post(QLMEventID::HALL_OF_FAME_ENTERED_EVENT_ID);
    EXPECT_EQ(clearsOfAFrame(), 1) << "entering again changes nothing";
    post(QLMEventID::HALL_OF_FAME_LEFT_EVENT_ID);
    EXPECT_EQ(clearsOfAFrame(), 0) << "idle again";
    post(QLMEventID::NAME_ENTRY_ENTERED_EVENT_ID);
    EXPECT_EQ(clearsOfAFrame(), 1) << "name entry";
}

TEST_F(ScoreScreenTest, ThePlatesGlassCoversTheTextUpToItsEdgesAndCorners)
{
    // A plate reaches 20 units past its text on every side. Up to the text's edges the glass must be as dark as
    // it is inside, with the rim beyond: ranks, scores and the prompt's first and last letters must not sit on it.
    EGL* const egl = graphicsLibrary();
    const auto size = [egl](int fontID, const std::string& text)
    {
        EGLLabel* const label =
            createLabel(egl, getFont(fontID), egl->blendingMethod(EGL::ALPHA_BLENDING), text, 0.5f, 0.5f, 0xFFFFFFFF);
        const std::pair<float, float> measured{label->labelWidth(), label->labelHeight()};
        destroyLabel(label);
        return measured;
    };
    struct Sample
    {
        float x, y;    // a point just inside the text's edge, clear of letters
        float insideX; // a point of the same row, clear of letters, well inside the plate
    };
    const auto expectGlassAt = [](const std::vector<Sample>& samples, const char* face)
    {
        for (const Sample& sample : samples)
        {
            const std::uint32_t edge = pixelAt(sample.x, sample.y);
            const std::uint32_t inside = pixelAt(sample.insideX, sample.y);
            for (const int shift : {0, 8, 16})
                EXPECT_NEAR(static_cast<int>((edge >> shift) & 0xFF), static_cast<int>((inside >> shift) & 0xFF), 3)
                    << face << " at (" << sample.x << ", " << sample.y << ")";
        }
    };

    // The hall of fame: 900 units of columns; the title and ten rows one above the other.
    const auto [titleWidth, titleHeight] = size(QLMFontID::LARGE_FONT_ID, "Hall of fame");
    const float rowHeight = scoreRecords().front()->scoreLabel()->labelHeight();
    const float tableHalfWidth = 450.0f;
    const float tableHalfHeight = (titleHeight + 10.0f * rowHeight) * 0.5f;
    const float titleY = tableHalfHeight - titleHeight * 0.5f;
    const float lastRowY = -tableHalfHeight + rowHeight * 0.5f;
    const float titleSide = (titleWidth * 0.5f + tableHalfWidth) * 0.5f;
    post(QLMEventID::HALL_OF_FAME_ENTERED_EVENT_ID);
    runFrame();
    expectGlassAt({{tableHalfWidth - 1.0f, titleY, titleSide},
                   {-tableHalfWidth + 1.0f, titleY, -titleSide},
                   {tableHalfWidth - 1.0f, lastRowY, 150.0f},
                   {tableHalfWidth - 1.0f, -tableHalfHeight + 1.0f, 150.0f}},
                  "hall of fame");

    // The name entry: the prompt as wide as the plate's text, the name field below it.
    const auto [promptWidth, promptHeight] =
        size(QLMFontID::SMALL_FONT_ID, "Congratulations! New highscore, please enter your name.");
    const float nameHeight = scoreNameLabel()->labelHeight();
    const float inputHalfWidth = promptWidth * 0.5f;
    const float inputHalfHeight = (promptHeight + nameHeight) * 0.5f;
    const float nameY = -(promptHeight + nameHeight) * 0.25f;
    post(QLMEventID::HALL_OF_FAME_LEFT_EVENT_ID);
    post(QLMEventID::NAME_ENTRY_ENTERED_EVENT_ID);
    runFrame();
    expectGlassAt({{inputHalfWidth - 1.0f, nameY, 200.0f},
                   {-inputHalfWidth + 1.0f, nameY, -200.0f},
                   {inputHalfWidth - 1.0f, -inputHalfHeight + 1.0f, 200.0f},
                   {-inputHalfWidth + 1.0f, -inputHalfHeight + 1.0f, -200.0f}},
                  "name entry");
}

TEST_F(ScoreScreenTest, TheStarsMoveOnlyWhileTheScreenIsShown)
{
    const QLMStar& star = *scoreStars().front();
    runFrame();
    EXPECT_EQ(star.progress(), 0.0);
    post(QLMEventID::HALL_OF_FAME_ENTERED_EVENT_ID);
    runFrame();
    EXPECT_GT(star.progress(), 0.0);
}

} // namespace
