#pragma once

class QCoreApplication;

namespace shell::qt {

// The tools speak Japanese, and so do the texts Qt itself shows in the windows the tools open:
// the file dialogs, their overwrite and not-found prompts, and the message box buttons. The
// translations are the program's own, so no translation package of the system is needed.
void installJapaneseSystemTexts(QCoreApplication& application);

}  // namespace shell::qt
