#include "platform/Alerts.h"

#include <QApplication>
#include <QMessageBox>

namespace {
Alerts::MessageHook& MessageHookSlot() {
  static Alerts::MessageHook hook;
  return hook;
}
Alerts::BeepHook& BeepHookSlot() {
  static Alerts::BeepHook hook;
  return hook;
}

QMessageBox::Icon ToBoxIcon(Alerts::Icon icon) {
  switch (icon) {
    case Alerts::Icon::Information: return QMessageBox::Information;
    case Alerts::Icon::Warning: return QMessageBox::Warning;
    case Alerts::Icon::Error: return QMessageBox::Critical;
    case Alerts::Icon::None: break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

int Alerts::ShowMessage(QWidget* parent, const QString& text, const QString& caption, Icon icon) {
  if (MessageHookSlot()) return MessageHookSlot()(Message{text, caption, icon});
  QMessageBox box(ToBoxIcon(icon), caption, text, QMessageBox::Ok, parent);
  box.exec();
  return kOk;
}

QWidget* Alerts::OpenMessage(QWidget* parent, const QString& text, const QString& caption, Icon icon) {
  if (MessageHookSlot()) {
    MessageHookSlot()(Message{text, caption, icon});
    return nullptr;
  }
  auto* box = new QMessageBox(ToBoxIcon(icon), caption, text, QMessageBox::Ok, parent);  // deletes itself
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
  return box;
}

void Alerts::Beep() {
  if (BeepHookSlot()) {
    BeepHookSlot()();
    return;
  }
  QApplication::beep();
}

void Alerts::SetMessageHook(MessageHook hook) { MessageHookSlot() = std::move(hook); }
void Alerts::SetBeepHook(BeepHook hook) { BeepHookSlot() = std::move(hook); }
