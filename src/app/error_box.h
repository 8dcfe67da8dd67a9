#pragma once
// The standard error box: an error icon, the application title as caption and
// the error's message, given a closing full stop where it lacks one.

#include <QString>

class QWidget;

namespace bw {

class PromptService;

// The message as the box shows it: a full stop is appended unless the text is
// empty or already ends in "." or a character that sorts before it (a blank,
// "!", ")", ",", "-" and the like).
QString errorBoxText(const QString &message);

void showErrorBox(PromptService &prompts, QWidget *parent, const QString &title,
                  const QString &message);

} // namespace bw
