#pragma once

class QCoreApplication;

namespace shell::qt {

// The tools speak Japanese, and so do the texts Qt itself provides (message box buttons, file
// dialogs) when Qt's Japanese translation is installed; without it they stay as Qt has them.
void installJapaneseSystemTexts(QCoreApplication& application);

}  // namespace shell::qt
