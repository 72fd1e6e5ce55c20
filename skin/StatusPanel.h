#pragma once
// The green-on-black texts of the skin's right-hand panel: the status font
// (Tahoma, or the closest sans serif narrowed to Tahoma's width), the date,
// time, status and position texts of the main view with their rectangles,
// and the drawing of one text, which the archive panel shares.

#include <QColor>
#include <QDate>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QTime>

#include <cstdint>

#include "skin/SpanRect.h"

class QPainter;

class StatusPanel {
 public:
  static constexpr QRect kStatusLabelRect = SpanRect(740, 180, 840, 195);
  static constexpr QRect kStatusRect = SpanRect(740, 195, 840, 225);
  static constexpr QRect kDateLabelRect = SpanRect(740, 70, 840, 85);
  static constexpr QRect kDateRect = SpanRect(740, 85, 840, 100);
  static constexpr QRect kTimeLabelRect = SpanRect(740, 100, 840, 115);
  static constexpr QRect kTimeRect = SpanRect(740, 115, 840, 130);
  static constexpr QRect kRecordPositionRect = SpanRect(740, 140, 855, 155);
  static constexpr QRect kPlayPositionRect = SpanRect(740, 155, 855, 170);
  static constexpr QColor kTextColour{0x00, 0xFF, 0x00};
  static constexpr int kLineFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;

  static QFont MakeStatusFont();
  // For native controls among the texts: green on the skin's dark faces.
  static QPalette MakeStatusPalette();
  // One text on black in the given font and the panel's green.
  static void DrawText(QPainter& painter, const QFont& font, const QRect& rect, const QString& text, int flags);

  static QString StatusTextFor(int statusCode, int missCount, std::uint32_t statusWord);
  static QString DateText(const QDate& date);
  static QString TimeText(const QTime& time);
  static QString PositionText(const char* label, std::uint32_t position);

  StatusPanel();

  void CreateStatusFont() { m_statusFont = MakeStatusFont(); }
  const QFont& Font() const { return m_statusFont; }
  // Draws in the status font; while a paint region is set, only a text inside it.
  void DrawText(QPainter& painter, const QRect& rect, const QString& text, int flags) const {
    if (m_pPaintRegion && !m_pPaintRegion->intersects(rect)) return;
    DrawText(painter, m_statusFont, rect, text, flags);
  }
  // The region being repainted, while painting; null otherwise.
  void SetPaintRegion(const QRegion* region) { m_pPaintRegion = region; }

  const QString& StatusText() const { return m_statusText; }
  void SetStatusText(const QString& text) { m_statusText = text; }
  const QString& RecordPositionText() const { return m_recordPositionText; }
  const QString& PlayPositionText() const { return m_playPositionText; }
  void ShowPositions(std::uint32_t recordPosition, std::uint32_t playPosition);
  void ClearPositions();
  static QRect PositionArea() { return kRecordPositionRect.united(kPlayPositionRect); }

  // The clock, status and position texts, when the repainted region reaches them.
  void Paint(QPainter& painter, const QRegion& dirty) const;

 private:
  QFont m_statusFont;
  const QRegion* m_pPaintRegion = nullptr;
  QString m_statusText;
  QString m_recordPositionText;
  QString m_playPositionText;
};
