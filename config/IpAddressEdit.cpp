#include "config/IpAddressEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStringList>

namespace {
constexpr int kFieldDigits = 3;
constexpr int kFieldWidth = 32;
}  // namespace

IpAddressEdit::IpAddressEdit(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* validator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
  for (int i = 0; i < kFields; ++i) {
    if (i > 0) layout->addWidget(new QLabel(QStringLiteral("."), this));
    auto* field = new QLineEdit(this);
    field->setValidator(validator);
    field->setMaxLength(kFieldDigits);
    field->setAlignment(Qt::AlignCenter);
    field->setFixedWidth(kFieldWidth);
    field->installEventFilter(this);
    // One tab stop for the whole control, as the address control has.
    if (i > 0) field->setFocusPolicy(Qt::ClickFocus);
    connect(field, &QLineEdit::textEdited, this, [this, i] { OnFieldEdited(i); });
    connect(field, &QLineEdit::editingFinished, this, [field] {
      if (!field->text().isEmpty() && field->text().toInt() > kFieldMax) field->setText(QString::number(kFieldMax));
    });
    layout->addWidget(field);
    m_fields[static_cast<std::size_t>(i)] = field;
  }
  setFocusProxy(m_fields[0]);
  setFocusPolicy(Qt::StrongFocus);
}

QString IpAddressEdit::text() const {
  QStringList parts;
  for (const QLineEdit* field : m_fields) {
    const int value = field->text().isEmpty() ? 0 : std::min(field->text().toInt(), kFieldMax);
    parts << QString::number(value);
  }
  return parts.join(QLatin1Char('.'));
}

void IpAddressEdit::setText(const QString& text) {
  const QStringList parts = text.trimmed().split(QLatin1Char('.'));
  for (int i = 0; i < kFields; ++i) {
    QLineEdit* field = m_fields[static_cast<std::size_t>(i)];
    bool ok = false;
    const int value = i < parts.size() ? parts[i].trimmed().toInt(&ok) : 0;
    field->setText(ok && value >= 0 ? QString::number(std::min(value, kFieldMax)) : QString());
  }
}

void IpAddressEdit::clear() {
  for (QLineEdit* field : m_fields) field->clear();
}

bool IpAddressEdit::isBlank() const {
  for (const QLineEdit* field : m_fields) {
    if (!field->text().isEmpty()) return false;
  }
  return true;
}

void IpAddressEdit::OnFieldEdited(int index) {
  QLineEdit* field = m_fields[static_cast<std::size_t>(index)];
  if (field->text().toInt() > kFieldMax) field->setText(QString::number(kFieldMax));
  if (field->text().size() == kFieldDigits && index + 1 < kFields) {
    m_fields[static_cast<std::size_t>(index + 1)]->setFocus();
    m_fields[static_cast<std::size_t>(index + 1)]->selectAll();
  }
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    for (int i = 0; i < kFields; ++i) {
      if (watched != m_fields[static_cast<std::size_t>(i)]) continue;
      if (key->key() == Qt::Key_Period) {
        if (i + 1 < kFields && !m_fields[static_cast<std::size_t>(i)]->text().isEmpty()) {
          m_fields[static_cast<std::size_t>(i + 1)]->setFocus();
          m_fields[static_cast<std::size_t>(i + 1)]->selectAll();
        }
        return true;
      }
      if (key->key() == Qt::Key_Backspace && i > 0 && m_fields[static_cast<std::size_t>(i)]->text().isEmpty()) {
        m_fields[static_cast<std::size_t>(i - 1)]->setFocus();
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}
