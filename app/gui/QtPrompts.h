#pragma once
// The prompts of the desktop program: one modal QMessageBox per question.
#include "platform/Prompts.h"

namespace vexlo::gui {

class QtPrompts : public Prompts {
public:
    PromptResult Show(const std::string& title, const std::string& text, PromptButtons buttons,
                      PromptIcon icon) override;
};

}  // namespace vexlo::gui
