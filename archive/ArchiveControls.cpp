#include "archive/ArchiveControls.h"

#include "archive/CArchiveDlg.h"
#include "skin/SkinButton.h"
#include "skin/SkinPushButton.h"

namespace {

struct PushButtonPlace {
  int id;
  QRect rect;
  int up;
  int down;
};

const PushButtonPlace kPushButtons[ArchiveControls::kPushButtonCount] = {
    {CArchiveDlg::kIdPower, QRect(732, 16, 118, 23), 248, 247},
    {CArchiveDlg::kIdSave, QRect(808, 574, 62, 51), 246, 245},
    {CArchiveDlg::kIdPrint, QRect(877, 574, 62, 51), 348, 349},
    {CArchiveDlg::kIdEvent, QRect(808, 629, 62, 51), 350, 351},
    {CArchiveDlg::kIdPlus, QRect(117, 525, 26, 26), 242, 241},
    {CArchiveDlg::kIdMinus, QRect(148, 525, 26, 26), 238, 237},
    {CArchiveDlg::kIdToStart, QRect(751, 306, 38, 40), 381, 380},
    {CArchiveDlg::kIdHourBack, QRect(795, 306, 38, 40), 383, 382},
    {CArchiveDlg::kIdHourForward, QRect(839, 306, 38, 40), 385, 384},
    {CArchiveDlg::kIdToEnd, QRect(883, 306, 38, 40), 387, 386},
};

constexpr int kChannelButtonX[wire::kChannels] = {342, 373, 400, 428, 456, 485, 513, 541,
                                                         568, 596, 625, 652, 680, 709, 736, 764};
constexpr int kChannelButtonY = 636;
constexpr int kChannelButtonHeight = 30;
constexpr int kWideChannelButton = 31;
constexpr int kChannelButtonWidth = 28;
constexpr int kChannelBitmapBase = 263;  // channel n: 263 + 2n, lit 264 + 2n

constexpr int kPlayButtonX[playback::ButtonCount] = {732, 774, 817, 859, 901};
constexpr int kPlayButtonY = 255;
constexpr QSize kPlayButtonSize{38, 40};
constexpr int kPlayBitmapNormal[playback::ButtonCount] = {353, 355, 357, 359, 361};
constexpr int kPlayBitmapLit[playback::ButtonCount] = {352, 354, 356, 358, 360};

constexpr int kBitmapRecord = 256;
constexpr int kBitmapRecordLit = 255;
constexpr int kBitmapSingle = 324;
constexpr int kBitmapSingleLit = 323;
constexpr int kBitmapAll = 321;
constexpr int kBitmapAllLit = 322;
constexpr QRect kRecordRect(877, 629, 62, 51);
constexpr QRect kSingleRect(57, 525, 25, 26);
constexpr QRect kAllRect(86, 525, 26, 26);
constexpr QRect kActivityRect(730, 200, 33, 33);

}  // namespace

ArchiveControls ArchiveControls::Create(QWidget* panel, const std::function<void(int)>& onCommand) {
  const auto latching = [&](int controlId, const QRect& geometry, int normalId, int litId) {
    auto* button = new SkinButton(panel, controlId, geometry, SkinButtonBitmaps::Latching(normalId, litId));
    QObject::connect(button, &SkinButton::clicked, panel, [onCommand](int id) { onCommand(id); });
    return button;
  };
  ArchiveControls c;
  std::size_t i = 0;
  for (const PushButtonPlace& s : kPushButtons) {
    auto* button = new SkinPushButton(panel, s.id, s.rect, s.up, s.down);
    QObject::connect(button, &SkinPushButton::clicked, panel, [onCommand, id = s.id] { onCommand(id); });
    c.push.at(i++) = button;
  }
  c.record = latching(CArchiveDlg::kIdRecord, kRecordRect, kBitmapRecord, kBitmapRecordLit);
  c.single = latching(CArchiveDlg::kIdSingle, kSingleRect, kBitmapSingle, kBitmapSingleLit);
  c.all = latching(CArchiveDlg::kIdAll, kAllRect, kBitmapAll, kBitmapAllLit);
  for (int ch = 0; ch < wire::kChannels; ++ch) {
    const int width = (ch == 0 || ch == wire::kChannels - 1) ? kWideChannelButton : kChannelButtonWidth;
    const int n = ch + 1;
    c.channel[ch] = latching(CArchiveDlg::kIdChannelFirst + ch,
                             QRect(kChannelButtonX[ch], kChannelButtonY, width, kChannelButtonHeight),
                             kChannelBitmapBase + 2 * n, kChannelBitmapBase + 1 + 2 * n);
  }
  for (int b = 0; b < playback::ButtonCount; ++b) {
    c.play[b] = latching(CArchiveDlg::kIdPlayFirst + b, QRect(QPoint(kPlayButtonX[b], kPlayButtonY), kPlayButtonSize),
                         kPlayBitmapNormal[b], kPlayBitmapLit[b]);
  }
  c.activity = latching(CArchiveDlg::kIdActivity, kActivityRect, CArchiveDlg::kBitmapActivity,
                        CArchiveDlg::kBitmapActivityLit);
  c.activity->setEnabled(false);
  return c;
}
