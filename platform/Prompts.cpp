#include "platform/Prompts.h"

#include <atomic>
#include <cstdio>

namespace vexlo {
namespace {
ConsolePrompts g_console;
std::atomic<Prompts*> g_current{nullptr};
}  // namespace

PromptResult FirstButton(PromptButtons buttons) {
    return (buttons == PromptButtons::OK || buttons == PromptButtons::OKCancel) ? PromptResult::OK
                                                                               : PromptResult::Yes;
}

Prompts& CurrentPrompts() {
    Prompts* p = g_current.load();
    return p ? *p : g_console;
}

Prompts* SetPrompts(Prompts* p) { return g_current.exchange(p); }

PromptResult ConsolePrompts::Show(const std::string& title, const std::string& text,
                                  PromptButtons buttons, PromptIcon) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return FirstButton(buttons);
}

PromptResult ScriptedPrompts::Show(const std::string& title, const std::string& text,
                                   PromptButtons buttons, PromptIcon icon) {
    std::lock_guard<std::mutex> lock(mutex_);
    shown_.push_back({title, text, buttons, icon});
    if (answers_.empty()) return FirstButton(buttons);
    PromptResult r = answers_.front();
    answers_.pop_front();
    return r;
}

std::vector<ScriptedPrompts::Shown> ScriptedPrompts::shown() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return shown_;
}

void ScriptedPrompts::Answer(PromptResult r) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.push_back(r);
}

}  // namespace vexlo
