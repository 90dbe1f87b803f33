#pragma once

class QString;

// Shows a modal "Error" popup with the error icon and waits until the user dismisses it.
void showError(const QString &text);
