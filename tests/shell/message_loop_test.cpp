#include "shell/message_loop.h"

#include <gtest/gtest.h>

namespace {

// Stands in for GetMessageA: delivers `g_script` results in turn, each
// message a harmless WM_NULL; the quit message carries code 7.
struct Script {
    const BOOL* results;
    int next;
};
Script g_script;

BOOL WINAPI ScriptedGetMessage(LPMSG message, HWND, UINT, UINT) {
    const BOOL result = g_script.results[g_script.next++];
    message->hwnd = nullptr;
    message->message = result == 0 ? WM_QUIT : WM_NULL;
    // Whatever a failed call leaves in the message must not become the
    // exit code.
    message->wParam = result == 0 ? 7 : 0x5EED;
    return result;
}

TEST(MessageLoopTest, EndsWithTheQuitCodeOrAsFailedWhenNoMessageComes) {
    const BOOL untilQuit[] = {1, 1, 0};
    g_script = {untilQuit, 0};
    EXPECT_EQ(RunMessageLoop(ScriptedGetMessage), 7);
    EXPECT_EQ(g_script.next, 3);

    const BOOL failing[] = {1, -1, 1, 0};
    g_script = {failing, 0};
    EXPECT_EQ(RunMessageLoop(ScriptedGetMessage), kMessageLoopFailed);
    EXPECT_EQ(g_script.next, 2);
}

}  // namespace
