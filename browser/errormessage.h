#pragma once

class ZConfig;

// Shows a modal error popup with the error icon, its texts from the given language file, and
// waits until the user dismisses it.
void showError(const ZConfig &langConfig, const char *messageKey);
