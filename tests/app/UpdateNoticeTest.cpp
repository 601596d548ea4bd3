#include <gtest/gtest.h>

#include <map>

#include "app/GlobalUnit.h"
#include "app/UpdateNotice.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "support/TempDir.h"

using namespace vexlo;
using vexlo::test::TempDir;

TEST(UpdateNotice, NumbersReadAsDecimalsWithBlanksIgnored) {
    struct Case {
        const char* text;
        double value;
    } cases[] = {{"3.31", 3.31}, {" 3.300 ", 3.3}, {"+2", 2.0}, {"-1.5", -1.5}, {"1e1", 10.0}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(StrToFloat(c.text), c.value) << c.text;
    for (const char* bad : {"", "  ", "error", "3,31", "3.3a", "+-1", "+"}) {
        try {
            StrToFloat(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid floating point value");
        }
    }
    EXPECT_EQ(StrToInt(" 7 "), 7);
    EXPECT_THROW(StrToInt("7.5"), EConvertError);
    EXPECT_THROW(StrToInt("99999999999"), EConvertError);
}

TEST(UpdateNotice, VersionsCompareAsNumbers) {
    EXPECT_TRUE(IsNewerVersion("3.31", " 3.300 "));
    EXPECT_FALSE(IsNewerVersion("3.3", " 3.300 "));
    EXPECT_FALSE(IsNewerVersion("3.29", "3.3"));
    EXPECT_TRUE(IsNewerVersion("10.0", "9.99"));  // not a text comparison
    EXPECT_THROW(IsNewerVersion("", "3.3"), EConvertError);
}

namespace {

// A server with a document per address and an XML reader over "path attribute=value" lines.
class FakeNotices : public TNoticeSource {
public:
    std::map<std::string, std::string> server;  // url -> body; absent: unreachable
    std::vector<std::string> fetches;
    bool DownloadToFile(const std::string& url, const std::string& fileName) override {
        fetches.push_back(fileName);
        auto it = server.find(url);
        if (it == server.end()) return false;
        test::WriteFile(fileName, it->second);
        return true;
    }
    std::string ReadXmlValue(const std::string& fileName, const std::string& path,
                             const std::string& attribute) override {
        if (!FileExists(fileName)) return "error";
        const std::string text = test::ReadFile(fileName);
        if (text.rfind("XMLPackage", 0) != 0) return "";
        const std::string key = path + " " + attribute + "=";
        auto at = text.find(key);
        if (at == std::string::npos) return "";
        at += key.size();
        return text.substr(at, text.find('\n', at) - at);
    }
};

std::string Document(const std::string& version, int count, const std::string& tag) {
    std::string d = "XMLPackage\nXMLPackage.count number=" + std::to_string(count) +
                    "\nXMLPackage.videoversion number=" + version + "\n";
    for (int i = 0; i < count; ++i)
        d += "XMLPackage.row" + std::to_string(i) + " info=" + tag + " notice " + std::to_string(i) +
             "\nXMLPackage.row" + std::to_string(i) + " url=http://" + tag + "/" + std::to_string(i) + "\n";
    return d;
}

class UpdateCheckTest : public ::testing::Test {
protected:
    UpdateCheckTest() : usePrompts(prompts) {
        saved = GlobalObject();
        GlobalObject().SetVersionText(" 3.300 ");
        GlobalObject().SetTitle("Vexlo Mobile Video Converter");
        GlobalObject().SetDownloadUrl("https://vexlo.example/download");
        previousShell = SetShell(&shell);
    }
    ~UpdateCheckTest() override {
        SetShell(previousShell);
        GlobalObject() = saved;
    }
    void Run() { RunUpdateCheck(state, source, kUrl, dir.path()); }

    static constexpr const char* kUrl = "http://127.0.0.1:1/notice.xml";
    TGlobalObject saved;
    TempDir dir;
    FakeNotices source;
    ScriptedPrompts prompts;
    ScopedPrompts usePrompts;
    RecordingShell shell;
    Shell* previousShell = nullptr;
    TUpdateState state;
};

}  // namespace

TEST_F(UpdateCheckTest, NewerVersionAsksAndNoKeepsRunningWithTheNotices) {
    source.server[kUrl] = Document("3.31", 2, "net");
    prompts.Answer(PromptResult::No);
    Run();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].title, "Warning - New Version Available for Download.");
    EXPECT_EQ(prompts.shown()[0].text, "Do you want to upgrade to Vexlo Mobile Video Converter 3.31 now?");
    EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompts.shown()[0].icon, PromptIcon::Question);
    EXPECT_FALSE(state.ClosingForUpdate);
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_EQ(state.LatestVersion, "3.31");
    ASSERT_EQ(state.Notices.size(), 2u);
    EXPECT_EQ(state.Notices[1].Info, "net notice 1");
    EXPECT_EQ(state.Notices[1].Url, "http://net/1");
    EXPECT_TRUE(FileExists(dir.file("vexlo.xml")));  // the copy for later runs
}

TEST_F(UpdateCheckTest, YesOpensTheDownloadPageAndClosesForUpdate) {
    source.server[kUrl] = Document("4", 1, "net");
    prompts.Answer(PromptResult::Yes);
    state.ClosingForUpdate = true;  // cleared first, then set again by the answer
    Run();
    EXPECT_TRUE(state.ClosingForUpdate);
    EXPECT_EQ(shell.opened, std::vector<std::string>{"https://vexlo.example/download"});
}

TEST_F(UpdateCheckTest, SameOrOlderVersionDoesNotAsk) {
    for (const char* version : {"3.3", "3.2", " 3.300"}) {
        source.server[kUrl] = Document(version, 1, "net");
        Run();
        EXPECT_TRUE(prompts.shown().empty()) << version;
        EXPECT_EQ(state.Notices.size(), 1u);
    }
}

TEST_F(UpdateCheckTest, NoServerFallsBackToTheKeptCopyThenToBuiltInNotices) {
    Run();
    EXPECT_EQ(state.Notices.size(), BuiltInNotices().size());
    EXPECT_EQ(BuiltInNotices().size(), 7u);

    test::WriteFile(dir.file("vexlo.xml"), Document("9.9", 3, "kept"));
    state = {};
    Run();
    EXPECT_TRUE(prompts.shown().empty());  // a kept copy never asks
    EXPECT_EQ(state.LatestVersion, "9.9");
    ASSERT_EQ(state.Notices.size(), 3u);
    EXPECT_EQ(state.Notices[2].Info, "kept notice 2");
    EXPECT_EQ(state.Notices[2].Url, "http://kept/2");
}

TEST_F(UpdateCheckTest, WrongRootReportsTheEmptyVersionAndLoadsNoNotices) {
    source.server[kUrl] = "Package\nXMLPackage.count number=2\n";
    state.Notices = {{"old", "http://old"}};
    try {
        Run();
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'' is not a valid floating point value");
    }
    ASSERT_EQ(state.Notices.size(), 1u);
    EXPECT_EQ(state.Notices[0].Info, "old");
}

TEST_F(UpdateCheckTest, FailedSecondFetchReadsTheNoticesFromTheFreshCopy) {
    // A server that answers once only.
    struct Once : FakeNotices {
        bool DownloadToFile(const std::string& url, const std::string& fileName) override {
            const bool ok = FakeNotices::DownloadToFile(url, fileName);
            server.clear();
            return ok;
        }
    } once;
    once.server[kUrl] = Document("1.0", 1, "net");
    RunUpdateCheck(state, once, kUrl, dir.path());
    ASSERT_EQ(state.Notices.size(), 1u);
    EXPECT_EQ(state.Notices[0].Info, "net notice 0");
}

TEST_F(UpdateCheckTest, HugeCountsReadABoundedNumberOfNotices) {
    source.server[kUrl] = "XMLPackage\nXMLPackage.count number=2000000000\nXMLPackage.videoversion number=1.0\n";
    Run();
    EXPECT_EQ(state.Notices.size(), 100u);
}
