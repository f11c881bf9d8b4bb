// Messages.cpp - message boxes, with a sink tests use to observe them.
#include "Messages.h"

#include <QMessageBox>

namespace {
std::function<void(const QString&)>& Sink() {
    static std::function<void(const QString&)> sink;
    return sink;
}
}  // namespace

void ShowInformation(QWidget* parent, const QString& text) {
    if (Sink()) {
        Sink()(text);
        return;
    }
    QMessageBox::information(parent, QStringLiteral("Tavrin"), text, QMessageBox::Ok);
}

void SetMessageSinkForTesting(std::function<void(const QString&)> sink) {
    Sink() = std::move(sink);
}
