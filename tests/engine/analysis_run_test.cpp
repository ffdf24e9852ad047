#include "engine/analysis_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>
#include <thread>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/group_list.h"
#include "resources/texts.h"
#include "results/new_groups.h"
#include "tests/support/engine_reset.h"
#include "tests/support/temp_tree.h"

namespace {

// Records what the coordinator asks of its front end, in order.
struct RecordingView {
    std::vector<std::string> calls;
    std::vector<PresentedGroup> shown;
    int32_t cancelCode = -1;
    std::string outcome;
    std::function<void()> onHandOver;  // lets a test act in mid-run

    AnalysisView Make() {
        AnalysisView view;
        view.clearResults = [this] {
            calls.push_back("clear");
            shown.clear();
        };
        view.addNewGroups = [this](int32_t& cursor, bool last) {
            for (PresentedGroup& group : CollectNewGroups(cursor)) shown.push_back(std::move(group));
            if (last) calls.push_back("last hand-over");
            if (onHandOver) onHandOver();
        };
        view.setProgress = [this](unsigned percent) {
            EXPECT_LE(percent, 100u);
            calls.push_back("progress");
        };
        view.switchRunMenu = [this](bool running) { calls.push_back(running ? "menu-running" : "menu-idle"); };
        view.closeProgress = [this] {
            EXPECT_FALSE(g_analysis.running.load());
            calls.push_back("close");
        };
        view.reportOutcome = [this](int32_t code, double seconds, const char* text) {
            EXPECT_GE(seconds, 0.0);
            calls.push_back("outcome");
            cancelCode = code;
            outcome = text;
        };
        return view;
    }
};

class AnalysisRunTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEngine(); }
    void TearDown() override { ResetEngine(); }

    void Run(RecordingView& view, const std::string& folder) {
        ASSERT_TRUE(BeginAnalysis());
        AnalysisCoordinator(folder, view.Make());
        EXPECT_FALSE(g_analysis.running.load());
    }

    // Many sizes, so that all ten workers have buckets; group g of size
    // 100 + g holds g % 3 + 2 copies, plus unique files between them.
    // Returns the number of files written.
    size_t MakeFixture(int groups) {
        size_t files = 0;
        for (int g = 0; g < groups; ++g) {
            std::string contents = PatternBytes(static_cast<size_t>(100 + g * 37), static_cast<unsigned>(g));
            for (int copy = 0; copy < g % 3 + 2; ++copy)
                tree_.File("g" + std::to_string(g % 7) + "/f" + std::to_string(g) + "-" + std::to_string(copy),
                           contents);
            files += static_cast<size_t>(g % 3 + 2) + 1;
            tree_.File("unique/u" + std::to_string(g), PatternBytes(static_cast<size_t>(100 + g * 37), 1000u + g));
        }
        return files;
    }

    TempTree tree_;
};

TEST_F(AnalysisRunTest, RunShowsEveryGroupNumberedInListOrderAndReportsTime) {
    const size_t files = MakeFixture(40);
    RecordingView view;
    Run(view, tree_.Root());

    ASSERT_GE(view.calls.size(), 6u);
    EXPECT_EQ(view.calls[0], "clear");
    EXPECT_EQ(view.calls[1], "menu-running");
    // One hand-over is the last, and it comes after every other.
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "last hand-over"), 1);
    EXPECT_EQ(view.calls[view.calls.size() - 4], "last hand-over");
    EXPECT_EQ(view.calls[view.calls.size() - 3], "close");
    EXPECT_EQ(view.calls[view.calls.size() - 2], "menu-idle");
    EXPECT_EQ(view.calls.back(), "outcome");
    EXPECT_EQ(view.cancelCode, kNoCancel);
    EXPECT_EQ(g_analysis.processed.load(), RecordCount());
    EXPECT_EQ(RecordCount(), files);

    ASSERT_EQ(view.shown.size(), 40u);
    ASSERT_EQ(GroupCount(), 40u);
    std::map<int64_t, size_t> membersBySize;
    for (size_t g = 0; g < view.shown.size(); ++g) {
        const DuplicateGroup group = GroupAt(g);
        const int64_t size = Record(group.front()).size;
        EXPECT_EQ(view.shown[g].number, static_cast<int32_t>(g));
        EXPECT_EQ(view.shown[g].size, size);
        ASSERT_EQ(view.shown[g].paths.size(), group.size());
        for (size_t m = 0; m < group.size(); ++m) EXPECT_EQ(view.shown[g].paths[m], RecordPath(group[m]));
        for (size_t m = 1; m < group.size(); ++m) EXPECT_LT(group[m - 1], group[m]);
        membersBySize[size] = group.size();
    }
    for (int g = 0; g < 40; ++g) EXPECT_EQ(membersBySize[100 + g * 37], static_cast<size_t>(g % 3 + 2)) << g;
    // "解析にかかった時間は[" ... "]秒です" in code page 932.
    EXPECT_EQ(view.outcome.rfind("\x89\xf0\x90\xcd\x82\xc9\x82\xa9\x82\xa9\x82\xc1\x82\xbd\x8e\x9e\x8a\xd4\x82\xcd[", 0),
              0u);
}

TEST_F(AnalysisRunTest, SecondRunClearsAndNumbersAfresh) {
    const size_t files = MakeFixture(5);
    RecordingView first;
    Run(first, tree_.Root());
    RecordingView second;
    Run(second, tree_.Root());
    ASSERT_EQ(second.shown.size(), 5u);
    EXPECT_EQ(second.shown[0].number, 0);
    EXPECT_EQ(GroupCount(), 5u);
    EXPECT_EQ(RecordCount(), files);
}

TEST_F(AnalysisRunTest, EmptyOrMissingFolderEndsNormallyWithNoGroups) {
    RecordingView view;
    Run(view, tree_.Path("nothing-here"));
    EXPECT_EQ(view.cancelCode, kNoCancel);
    EXPECT_TRUE(view.shown.empty());
    EXPECT_EQ(RecordCount(), 0u);
}

TEST_F(AnalysisRunTest, StopInMidRunKeepsOnlyGenuineGroupsAndSaysSo) {
    // Large identical files keep the workers busy past the first hand-over.
    const std::string big = PatternBytes(4 << 20, 5);
    for (int i = 0; i < 12; ++i) tree_.File("big/b" + std::to_string(i), big);
    MakeFixture(30);
    RecordingView view;
    view.onHandOver = [] { RequestStop(); };
    Run(view, tree_.Root());
    EXPECT_EQ(view.cancelCode, kCancelByUser);
    // "解析を中止しました"
    EXPECT_EQ(view.outcome, "\x89\xf0\x90\xcd\x82\xf0\x92\x86\x8e\x7e\x82\xb5\x82\xdc\x82\xb5\x82\xbd");
    EXPECT_LE(g_analysis.processed.load(), RecordCount());
    for (size_t g = 0; g < GroupCount(); ++g) {
        const DuplicateGroup group = GroupAt(g);
        EXPECT_GE(group.size(), 2u);
        for (int32_t member : group) EXPECT_EQ(Record(member).size, Record(group.front()).size);
    }
    EXPECT_EQ(view.shown.size(), GroupCount());
}

TEST_F(AnalysisRunTest, CloseDuringRunStopsWithCodeTwoAndIsRefused) {
    MakeFixture(3);
    RecordingView view;
    bool closeAllowed = true;
    view.onHandOver = [&closeAllowed] {
        if (g_analysis.running.load()) closeAllowed = closeAllowed && QueryCloseDuringAnalysis();
    };
    Run(view, tree_.Root());
    EXPECT_FALSE(closeAllowed);
    EXPECT_EQ(view.cancelCode, kCancelByClose);
    EXPECT_TRUE(QueryCloseDuringAnalysis());
}

TEST(AnalysisStateTest, SecondRunIsRefusedWhileOneIsRunning) {
    ResetEngine();
    EXPECT_TRUE(BeginAnalysis());
    RequestStop();
    EXPECT_FALSE(BeginAnalysis());
    EXPECT_EQ(g_analysis.cancelCode.load(), kCancelByUser);  // the refused start changed nothing
    g_analysis.running.store(false);
    EXPECT_TRUE(BeginAnalysis());
    EXPECT_EQ(g_analysis.cancelCode.load(), kNoCancel);
    ResetEngine();
}

// The end of a run is one step with the close check: an end that comes
// while a close is being refused waits for it and reports the close's code,
// instead of reading the cancel code before the close has stored it.
TEST(AnalysisStateTest, TheRunsEndWaitsForACloseCheckInProgress) {
    ResetEngine();
    ASSERT_TRUE(BeginAnalysis());
    std::unique_lock<std::mutex> closing(g_analysis.runLock);  // a close check, in progress
    std::atomic<int32_t> reported{-1};
    std::thread ender([&reported] { reported.store(EndAnalysis()); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(g_analysis.running.load()) << "the end waits for the close check";
    g_analysis.cancelCode.store(kCancelByClose);  // the close is refused
    closing.unlock();
    ender.join();
    EXPECT_EQ(reported.load(), kCancelByClose);
    EXPECT_TRUE(QueryCloseDuringAnalysis());
    ResetEngine();
}

std::string OutcomeText(int32_t cancelCode, double seconds) {
    char text[kOutcomeTextBytes];
    FormatAnalysisOutcome(cancelCode, seconds, text);
    return text;
}

TEST(AnalysisOutcomeTextTest, TextsByCancelCode) {
    // "解析にかかった時間は[1.234000]秒です"
    EXPECT_EQ(OutcomeText(kNoCancel, 1.234),
              "\x89\xf0\x90\xcd\x82\xc9\x82\xa9\x82\xa9\x82\xc1\x82\xbd\x8e\x9e\x8a\xd4\x82\xcd[1.234000]"
              "\x95\x62\x82\xc5\x82\xb7");
    // The whole code-2 text, up to "押してください".
    EXPECT_EQ(OutcomeText(kCancelByClose, 0.5), kTextAnalysisStoppedPressCloseAgain);
    EXPECT_EQ(OutcomeText(kCancelByClose, 0.5).rfind("\x89\xf0\x90\xcd\x82\xf0\x92\x86\x8e\x7e\x82\xb5\x82\xdc\x82\xb5\x82\xbd\n\n", 0), 0u);
}

}  // namespace
