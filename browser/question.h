#pragma once

class QString;
class ZConfig;

// Asks a question in a modal Yes/No popup whose title and keys are texts of the given language
// file; true when the user answers Yes.
bool askYesNo(const ZConfig &langConfig, const QString &question);
