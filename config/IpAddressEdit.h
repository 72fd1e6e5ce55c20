#pragma once
// A four-field IPv4 address control. Each field takes up to three digits and
// holds 0 to 255; typing '.' or a third digit moves to the next field. Its
// text is always four dotted numbers: blank fields read as 0, so a blank
// control reads "0.0.0.0". Tab enters at the first field and leaves the control.

#include <QString>
#include <QWidget>

#include <array>

class QLineEdit;

class IpAddressEdit : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kFields = 4;
  static constexpr int kFieldMax = 255;

  explicit IpAddressEdit(QWidget* parent = nullptr);

  // "a.b.c.d"; blank fields count as 0.
  QString text() const;
  // Fills the fields from dotted text; parts that are missing or not numbers
  // leave their field blank, numbers above 255 are held to 255.
  void setText(const QString& text);
  void clear();
  bool isBlank() const;

  QLineEdit* Field(int index) const { return m_fields.at(static_cast<std::size_t>(index)); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnFieldEdited(int index);

  std::array<QLineEdit*, kFields> m_fields{};
};
