// The commands that ask first: each row sets the scene, gives the command,
// answers the question (or expects none) and checks what the answer did.
#include "AppFixture.h"

#include "resource.h"
#include "support/RecordLists.h"

namespace {

using Names = std::vector<std::string>;

class ConfirmTest;
using Step = void (*)(ConfirmTest&);

struct ConfirmRow {
    const char* name;
    Step scene;           // after start(); nullptr: an empty list
    Step act;
    int answer;           // IDYES or IDNO; 0: no question may be asked
    const char* question;
    Step effect;
};

class ConfirmTest : public AppTest, public ::testing::WithParamInterface<ConfirmRow> {
public:
    // The records a, b (values 1, 2) with a selected and shown.
    void selectFirstOfTwo() {
        openDatabase({{"a", "1"}, {"b", "2"}});
        clickItem(0);
    }
    void expectUnchanged() {
        EXPECT_EQ(recordNames(), (Names{"a", "b"}));
        EXPECT_EQ(listItems(), (Names{"a", "b"}));
    }
    void expectOnlySecondLeft() {
        EXPECT_EQ(recordNames(), Names{"b"});
        EXPECT_EQ(listItems(), Names{"b"});
        EXPECT_EQ(app->recordList().at(0).value(), "2");
        EXPECT_EQ(app->shownIndex(), -1);
        EXPECT_EQ(listSelection(), -1);
        EXPECT_FALSE(IsWindowEnabled(valueEdit()));
        EXPECT_EQ(windowText(valueEdit()), "");
    }

    // The database {a=1} opened, a record added and the window moved since.
    void changeSinceOpening() {
        database = writeDatabase("db.txt", {{"a", "1"}});
        ASSERT_TRUE(app->openFile(database));
        command(IDM_ADD);
        SetWindowPos(mainWindow(), nullptr, 10, 20, 500, 450, SWP_NOZORDER);
        runLoop();
    }
    void expectPreferencesSaved() {
        EXPECT_EQ(readBytes(database), "{a=1}\r\n");
        EXPECT_EQ(readBytes(settingsFile()),
                  "{color=0}\r\n{backgroundColor=16777215}\r\n{fontName=Courier New}\r\n{fontHeight=10}\r\n"
                  "{fontBold=false}\r\n{fontItalic=false}\r\n{windowX=10}\r\n{windowY=20}\r\n"
                  "{windowWidth=500}\r\n{windowHeight=450}\r\n{windowMaximized=false}\r\n{splitterX=200}\r\n"
                  "{recentFile1=" + escapedName(database) + "}\r\n");
    }
    // The session may end, then it ends or goes on.
    void endSession(BOOL ending) {
        EXPECT_TRUE(SendMessageA(mainWindow(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
        SendMessageA(mainWindow(), WM_ENDSESSION, ending, ENDSESSION_LOGOFF);
        runLoop();
    }

    // A file with text outside its entries, opened: it warns.
    void openWarningFile() {
        named = (database = file("notes.txt")) + "\r\n\r\n";
        writeBytes(database, "Shopping\r\n{a=1}\r\n");
        answers.thenPress(IDOK);
        ASSERT_TRUE(app->openFile(database));
    }
    // Save As then names the file that warned by another spelling.
    void saveAsOverIt(const std::string& spelling) {
        openWarningFile();
        named = spelling + "\r\n\r\n";
        answers.then(choosePath(spelling));
        answers.thenPress(IDYES); // replace the existing file?
    }
    void expectItKept() {
        EXPECT_EQ(readBytes(database), "Shopping\r\n{a=1}\r\n");
        EXPECT_EQ(app->currentFileName(), database);
    }

    std::string database;
    std::string named; // the file a question names before its text
};

const char* const saveOverQuestion = "Part of this file is not in the database format. Saving over it will change or "
                                     "remove that part.\r\n\r\nSave anyway?";

const ConfirmRow rows[] = {
    {"RemoveYesDropsThePendingEdit",
     [](ConfirmTest& t) {
         t.selectFirstOfTwo();
         SetFocus(t.valueEdit());
         t.type(t.valueEdit(), "lost");
     },
     [](ConfirmTest& t) { t.command(IDM_REMOVE); }, IDYES, "Remove the selected record?",
     [](ConfirmTest& t) { t.expectOnlySecondLeft(); }},
    {"RemoveNo", [](ConfirmTest& t) { t.selectFirstOfTwo(); }, [](ConfirmTest& t) { t.command(IDM_REMOVE); }, IDNO,
     "Remove the selected record?", [](ConfirmTest& t) { t.expectUnchanged(); }},
    {"RemoveWithoutASelectionAsksNothing", [](ConfirmTest& t) { t.openDatabase({{"a", "1"}, {"b", "2"}}); },
     [](ConfirmTest& t) { t.command(IDM_REMOVE); }, 0, "", [](ConfirmTest& t) { t.expectUnchanged(); }},

    // Delete in the list box: the key itself never reaches the list box.
    {"DeleteKeyYes", [](ConfirmTest& t) { t.selectFirstOfTwo(); },
     [](ConfirmTest& t) {
         SetFocus(t.list());
         t.pressKey(t.list(), VK_DELETE);
     },
     IDYES, "Remove the selected record?", [](ConfirmTest& t) { t.expectOnlySecondLeft(); }},
    {"DeleteKeyNo", [](ConfirmTest& t) { t.selectFirstOfTwo(); },
     [](ConfirmTest& t) {
         SetFocus(t.list());
         t.pressKey(t.list(), VK_DELETE);
     },
     IDNO, "Remove the selected record?",
     [](ConfirmTest& t) {
         t.expectUnchanged();
         EXPECT_EQ(t.listSelection(), 0);
     }},
    {"DeleteKeyWithoutASelectionAsksNothing", [](ConfirmTest& t) { t.openDatabase({{"a", "1"}, {"b", "2"}}); },
     [](ConfirmTest& t) {
         SetFocus(t.list());
         t.pressKey(t.list(), VK_DELETE);
     },
     0, "", [](ConfirmTest& t) { t.expectUnchanged(); }},

    // Remove All empties the list but keeps the file and its name.
    {"RemoveAllYes", [](ConfirmTest& t) { t.selectFirstOfTwo(); },
     [](ConfirmTest& t) {
         t.database = t.app->currentFileName();
         t.command(IDM_REMOVE_ALL);
     },
     IDYES, "Are you sure you wish to remove all records?",
     [](ConfirmTest& t) {
         EXPECT_TRUE(t.recordNames().empty());
         EXPECT_TRUE(t.listItems().empty());
         EXPECT_EQ(windowText(t.mainWindow()), "Tabulo 0.6 - " + t.database);
         t.command(IDM_SAVE);
         EXPECT_EQ(readBytes(t.database), "");
     }},
    {"RemoveAllNo", [](ConfirmTest& t) { t.selectFirstOfTwo(); }, [](ConfirmTest& t) { t.command(IDM_REMOVE_ALL); },
     IDNO, "Are you sure you wish to remove all records?", [](ConfirmTest& t) { t.expectUnchanged(); }},

    {"NewYes", [](ConfirmTest& t) { t.selectFirstOfTwo(); }, [](ConfirmTest& t) { t.command(IDM_NEW); }, IDYES,
     "Are you sure you wish to start a new project?",
     [](ConfirmTest& t) {
         EXPECT_TRUE(t.listItems().empty());
         EXPECT_TRUE(t.recordNames().empty());
         EXPECT_EQ(windowText(t.mainWindow()), "Tabulo 0.6 - Untitled");
         EXPECT_TRUE(t.app->currentFileName().empty());
     }},
    {"NewNo", [](ConfirmTest& t) { t.selectFirstOfTwo(); }, [](ConfirmTest& t) { t.command(IDM_NEW); }, IDNO,
     "Are you sure you wish to start a new project?",
     [](ConfirmTest& t) {
         t.expectUnchanged();
         EXPECT_FALSE(t.app->currentFileName().empty());
     }},

    // Exit saves the preferences (the file opened among the recent ones),
    // never the database.
    {"ExitYes", [](ConfirmTest& t) { t.changeSinceOpening(); }, [](ConfirmTest& t) { t.command(IDM_EXIT); }, IDYES,
     "Are you sure you wish to exit?",
     [](ConfirmTest& t) {
         EXPECT_TRUE(t.quitPosted);
         EXPECT_EQ(t.exitCode, 0u);
         t.expectPreferencesSaved();
     }},
    // Windows ends the session, then the process: as a confirmed exit,
    // without the question.
    {"EndOfSession", [](ConfirmTest& t) { t.changeSinceOpening(); },
     [](ConfirmTest& t) { t.endSession(TRUE); }, 0, "", [](ConfirmTest& t) { t.expectPreferencesSaved(); }},
    {"EndOfSessionThatDoesNotEnd", nullptr, [](ConfirmTest& t) { t.endSession(FALSE); }, 0, "",
     [](ConfirmTest& t) { EXPECT_FALSE(fileExists(t.settingsFile())); }},
    {"CloseBoxNo", nullptr,
     [](ConfirmTest& t) {
         SendMessageA(t.mainWindow(), WM_CLOSE, 0, 0);
         t.runLoop();
     },
     IDNO, "Are you sure you wish to exit?",
     [](ConfirmTest& t) {
         EXPECT_TRUE(IsWindowVisible(t.mainWindow()));
         EXPECT_FALSE(fileExists(t.settingsFile()));
         EXPECT_FALSE(t.quitPosted);
     }},

    // Over a file that warned as it opened, a save asks first, once.
    {"SaveOverAFileThatWarnedYesAsksOnce", [](ConfirmTest& t) { t.openWarningFile(); },
     [](ConfirmTest& t) { t.command(IDM_SAVE); }, IDYES, saveOverQuestion,
     [](ConfirmTest& t) {
         t.command(IDM_SAVE); // no second question
         EXPECT_EQ(readBytes(t.database), "{a=1}\r\n");
     }},
    {"SaveAsOverItInOtherLettersNo", [](ConfirmTest& t) { t.saveAsOverIt(t.file("NOTES.TXT")); },
     [](ConfirmTest& t) { t.command(IDM_SAVE_AS); }, IDNO, saveOverQuestion, [](ConfirmTest& t) { t.expectItKept(); }},
    // Through the short 8.3 name of its folder.
    {"SaveAsOverItByItsShortNameNo",
     [](ConfirmTest& t) {
         char folder[MAX_PATH] = {};
         ASSERT_NE(GetShortPathNameA(t.dir.path().string().c_str(), folder, MAX_PATH), 0u);
         t.saveAsOverIt(folder + std::string("\\notes.txt"));
         ASSERT_NE(t.named, t.database + "\r\n\r\n");
     },
     [](ConfirmTest& t) { t.command(IDM_SAVE_AS); }, IDNO, saveOverQuestion, [](ConfirmTest& t) { t.expectItKept(); }},
    // A file that cannot be opened is known by its name.
    {"SaveOverItOnceGoneNo", [](ConfirmTest& t) { t.openWarningFile(); DeleteFileA(t.database.c_str()); },
     [](ConfirmTest& t) { t.command(IDM_SAVE); }, IDNO, saveOverQuestion,
     [](ConfirmTest& t) { EXPECT_FALSE(fileExists(t.database)); }},
    {"SaveAsToAnotherNameAsksNothingAndIsCurrent", [](ConfirmTest& t) { t.openWarningFile(); },
     [](ConfirmTest& t) {
         t.answers.then(choosePath(t.file("copy.txt")));
         t.command(IDM_SAVE_AS);
         t.command(IDM_SAVE);
     },
     0, "", [](ConfirmTest& t) { EXPECT_EQ(readBytes(t.file("copy.txt")), "{a=1}\r\n"); }},
    {"ACleanOpenOfItForgetsTheQuestion", [](ConfirmTest& t) { t.openWarningFile(); },
     [](ConfirmTest& t) {
         writeBytes(t.database, "{b=2}\r\n");
         ASSERT_TRUE(t.app->openFile(t.database));
         t.command(IDM_SAVE);
     },
     0, "", [](ConfirmTest& t) { EXPECT_EQ(readBytes(t.database), "{b=2}\r\n"); }},
};

TEST_P(ConfirmTest, AsksAndDoesWhatTheAnswerSays) {
    const ConfirmRow& row = GetParam();
    start();
    if (row.scene)
        row.scene(*this);
    std::size_t before = answers.seen().size();
    if (row.answer)
        answers.thenPress(row.answer);
    row.act(*this);
    std::vector<std::string> questions; // a file dialog may come first
    for (std::size_t i = before; i < answers.seen().size(); ++i)
        if (answers.seen()[i].caption == "Confirm")
            questions.push_back(answers.seen()[i].text);
    EXPECT_EQ(questions, row.answer ? Names{named + row.question} : Names{});
    row.effect(*this);
}

INSTANTIATE_TEST_SUITE_P(Commands, ConfirmTest, ::testing::ValuesIn(rows),
                         [](const ::testing::TestParamInfo<ConfirmRow>& info) { return info.param.name; });

} // namespace
