#pragma once

#include <QString>
#include <string>

namespace cq {

// Qt's own texts (the buttons of message boxes, the file dialogs) follow `language`, a section
// name of the language file ("Russian"). English, or a language Qt has no translation for, leaves
// Qt's English texts.
void UseQtTranslations(const std::string& language);

// How a language of the language file is listed: under its own name ("Language.Name") where the
// file gives one, else under its section name.
QString LanguageOwnName(const std::string& language);

}  // namespace cq
