// Messages.h - the one place that shows a message box to the user.
#pragma once

#include <QString>

#include <functional>

class QWidget;

// Shows text in a modal box titled "Tavrin" with the information icon and an
// OK button, and returns when the user closes it. With a sink set, the text
// goes to the sink instead and no box is shown.
void ShowInformation(QWidget* parent, const QString& text);

// Routes every later ShowInformation to sink (an empty function restores the box).
void SetMessageSinkForTesting(std::function<void(const QString&)> sink);
