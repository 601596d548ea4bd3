#pragma once
// Message boxes as an interface, so that core code can ask the user without knowing the
// GUI. The desktop program installs a QMessageBox implementation; tests a scripted one.
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace vexlo {

enum class PromptButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptResult { OK, Cancel, Yes, No };

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual PromptResult Show(const std::string& title, const std::string& text,
                              PromptButtons buttons, PromptIcon icon) = 0;
};

// The prompts in use; by default one that writes to stderr and takes the first button.
Prompts& CurrentPrompts();
// Installs p (not owned); nullptr restores the default. Returns the previous one.
Prompts* SetPrompts(Prompts* p);

// Writes the message to stderr and answers with the first button.
class ConsolePrompts : public Prompts {
public:
    PromptResult Show(const std::string& title, const std::string& text, PromptButtons buttons,
                      PromptIcon icon) override;
};

// Records every prompt and answers from a script (the first button when it runs out).
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        std::string title, text;
        PromptButtons buttons;
        PromptIcon icon;
    };
    explicit ScriptedPrompts(std::deque<PromptResult> answers = {}) : answers_(std::move(answers)) {}
    PromptResult Show(const std::string& title, const std::string& text, PromptButtons buttons,
                      PromptIcon icon) override;
    std::vector<Shown> shown() const;
    void Answer(PromptResult r);

private:
    mutable std::mutex mutex_;
    std::deque<PromptResult> answers_;
    std::vector<Shown> shown_;
};

// Installs a prompts object for the lifetime of a scope.
class ScopedPrompts {
public:
    explicit ScopedPrompts(Prompts& p) : previous_(SetPrompts(&p)) {}
    ~ScopedPrompts() { SetPrompts(previous_); }
    ScopedPrompts(const ScopedPrompts&) = delete;
    ScopedPrompts& operator=(const ScopedPrompts&) = delete;

private:
    Prompts* previous_;
};

PromptResult FirstButton(PromptButtons buttons);

}  // namespace vexlo
