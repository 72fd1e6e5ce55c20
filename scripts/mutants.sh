#!/usr/bin/env bash
# Small deliberate faults (mutants), one line each, applied one at a time in a
# scratch clone's build; the plain suite (unit tests and acceptance scenarios)
# must fail for every one. A mutant no test catches is a gap in the suite.
#
#   scripts/mutants.sh                 every mutant against the committed HEAD
#   scripts/mutants.sh --rev REV       against another commit
#   scripts/mutants.sh --only NAME...  the named mutants only
#   scripts/mutants.sh --list          list the mutants and exit
#   ARDEVIZ_MUTANTS_DIR=DIR            scratch folder (default build-mutants/)
#   ARDEVIZ_MUTANTS_JOBS=N             unit test programs at once (default: cores + 1)
#
# Ends with "caught K of N"; exits non-zero when a mutant survives, does not
# apply (its line changed: update the table) or the unmutated suite fails.
set -euo pipefail
# Bash reads a script as it runs: run a copy, so that editing the table during a
# run cannot change the running script.
if [ -z "${ARDEVIZ_MUTANTS_ROOT:-}" ]; then
  copy=$(mktemp)
  cp "$0" "$copy"
  ARDEVIZ_MUTANTS_ROOT=$(cd "$(dirname "$0")/.." && pwd) exec bash "$copy" "$@"
fi
rm -f "$0"
cd "$ARDEVIZ_MUTANTS_ROOT"
root=$PWD
rev=HEAD
only=()
list=0
while [ $# -gt 0 ]; do
  case $1 in
    --rev) rev=$2; shift 2 ;;
    --only) shift; while [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; do only+=("$1"); shift; done ;;
    --list) list=1; shift ;;
    *) echo "usage: $0 [--rev REV] [--only NAME...] [--list]" >&2; exit 2 ;;
  esac
done

# One block per mutant: "@name what the fault is", the file, "-" the line's
# text as it stands (it must occur exactly once in the file), "+" its mutation.
table=$(cat <<'EOF'
@login-user-offset the user id lands one byte late in the login packet
link/PacketFormat.h
-constexpr std::size_t kLoginUserIdOffset = 28;
+constexpr std::size_t kLoginUserIdOffset = 29;

@packet-min-length a packet of header and info alone is refused
link/PacketFormat.cpp
-  return totalLength >= kMinPacketLength && totalLength <= kMaxPacketLength;
+  return totalLength > kMinPacketLength && totalLength <= kMaxPacketLength;

@header-class-field the packet class is written one word early in the header
link/PacketFormat.cpp
-  PutU32(out + 20, packetClass);
+  PutU32(out + 12, packetClass);

@stop-count-limit one playback picture more is tolerated after a stop
link/CDvrLinkReceive.cpp
-  if ((m_stopCounter & 0xFF) < kStopCountLimit) {
+  if ((m_stopCounter & 0xFF) <= kStopCountLimit) {

@reconnect-attempts one reconnection attempt more than the count allows
link/CDvrLink.cpp
-  if (m_attemptCount < limit) {
+  if (m_attemptCount <= limit) {

@reconnect-period reconnection attempts come at half the period
link/CDvrLink.cpp
-  m_reconnectTimer.start(m_timing.reconnectMs);
+  m_reconnectTimer.start(m_timing.reconnectMs / 2);

@index-bar-stray the index bars tolerate ten times the stray pixels
link/CImageCodec.h
-  static constexpr int kIndexBarMaxStray = 5;
+  static constexpr int kIndexBarMaxStray = 50;

@stop-repeats one stop string fewer after a pan/tilt release
viewer/PtzControl.h
-  static constexpr int kStopRepeats = 4;
+  static constexpr int kStopRepeats = 3;

@pane-gap the panes of a grid touch each other
viewer/PaneLayout.cpp
-constexpr int kPaneGap = 2;
+constexpr int kPaneGap = 1;

@rotation-step rotation skips a channel
viewer/PaneLayout.cpp
-    const int ch = (sel + k) % wire::kChannels;
+    const int ch = (sel + k + 1) % wire::kChannels;

@stage-mask the window keeps its mask on the full-screen stage, so repaints land off the full repaint
viewer/FullScreenStage.cpp
-    m_pWindow->clearMask();
+    m_pWindow->update();

@decode-logical-size pane pictures are decoded for the pane's window size, not its device pixels
viewer/CArdevizView.h
-  QSize LiveDecodeSize(int channel) const override { return m_layout.LiveDecodeSize(channel, DevicePixelScale()); }
+  QSize LiveDecodeSize(int channel) const override { return m_layout.LiveDecodeSize(channel); }

@window-above-screen a window taller than the screen's available area is centred above its top
viewer/CMainFrame.cpp
-                available.top() + std::max(0, (available.height() - window.height()) / 2));
+                available.top() + (available.height() - window.height()) / 2);

@panel-off-stage the archive panel in full screen sits at the screen's corner instead of on a stage
archive/CArchiveDlg.cpp
-  if (fullScreen) {
+  if (false) {

@program-icon windows get no program icon
app/CArdevizApp.cpp
-  QGuiApplication::setWindowIcon(ProgramIcon());
+  QGuiApplication::setWindowIcon(QIcon());

@held-login-sends pan/tilt data made during the login steps is dropped
link/CDvrLink.cpp
-    for (const auto& send : std::exchange(m_heldSends, {})) send();
+    m_heldSends.clear();

@event-month-bound an event of month 13 counts as valid
viewer/EventRecord.cpp
-constexpr int kMaxMonth = 12;
+constexpr int kMaxMonth = 13;

@frame-bank-size the recorder keeps one picture more in memory than its bound
archive/AviRecorder.cpp
-  if (m_segmentFrames < m_options.bankCapacity && m_writer->FramesInMemory() < m_options.maxFramesInMemory) {
+  if (m_segmentFrames < m_options.bankCapacity && m_writer->FramesInMemory() <= m_options.maxFramesInMemory) {

@stop-refused-while-saving STOP while recording is refused as if an earlier file were being written
archive/PlaybackControl.cpp
-  if (earlierWriteUnderWay) return -1;
+  if (m_pPanel->IsSavingAvi()) return -1;

@dropped-count the count of dropped pictures stays at its first drop
archive/AviRecorder.cpp
-  if (!taken) ++m_nDropped;
+  if (!taken) m_nDropped = 1;

@avi-frame-hold a recorded frame lasts one sample whatever the time to the next: the file plays too fast
archive/AviSegmentWriter.cpp
-  if (ok && at > next && w.FrameCount() > 0) ok = w.HoldLastFrame(static_cast<std::uint32_t>(at - next));
+  if (ok && at > next && w.FrameCount() > 1000) ok = w.HoldLastFrame(static_cast<std::uint32_t>(at - next));

@avi-end-hold a segment's last frame is not held to the segment's end
archive/AviSegmentWriter.cpp
-        if (w.FrameCount() > 0 && end > w.SampleCount() &&
+        if (w.FrameCount() > 0 && end > w.SampleCount() + 1000 &&

@avi-late-frame frames coming faster than the stream's rate are all kept: the file plays too slow
archive/AviSegmentWriter.cpp
-  if (at + kMaxLateSamples < next) return;
+  if (at + kMaxLateSamples + 100000 < next) return;

@record-format-saved "Record Format" is not written to the settings
viewer/ViewerSettingsStore.cpp
-  s.setValue(QLatin1String(kRecordFormat), quint32(settings.recordFormat));
+  s.value(QLatin1String(kRecordFormat));

@snapshot-tick the snapshot name's tick is not wrapped to five digits
archive/RecordFileNames.cpp
-constexpr std::int64_t kTickModulus = 100000;
+constexpr std::int64_t kTickModulus = 1000000;

@calendar-sunday a month beginning on a Sunday shows no day of the previous month first
archive/MonthCalendar.cpp
-  const int back = weekday == 1 ? 7 : weekday - 1;
+  const int back = weekday - 1;

@info-label-rows the START label is centred on rows of its own, above its value's baseline
archive/CArchiveDlg.h
-      {"START :", SpanRect(740, 69, 800, 89), SpanRect(800, 69, 948, 89)},
+      {"START :", SpanRect(740, 69, 800, 84), SpanRect(800, 69, 948, 89)},

@info-label-gap the values' column leaves no room after the widest label
archive/CArchiveDlg.h
-  static constexpr int kLabelGap = 5;  // least room between a label's text and its value
+  static constexpr int kLabelGap = 0;  // least room between a label's text and its value

@info-box-border a value moved right past its column fills over the box's border
archive/CArchiveDlg.cpp
-      m_rcValue[line] = d.valueRect.translated(column - d.valueRect.left(), 0) & kInfoBox;
+      m_rcValue[line] = d.valueRect.translated(column - d.valueRect.left(), 0);

@calendar-grid-width the calendar's grid stops short of its right edge
archive/MonthCalendar.cpp
-  return SpanRect(column * width() / kColumns, top, (column + 1) * width() / kColumns, bottom);
+  return SpanRect(column * 29, top, (column + 1) * 29, bottom);

@calendar-header-light the calendar's header controls keep the light native colours
archive/MonthCalendar.cpp
-    header->setPalette(headerPalette);
+    header->setPalette(header->palette());

@pane-direct-unmoved pane pictures written into the window's image ignore where the painter stands in it
skin/PaneDrawing.cpp
-  device = transform.mapRect(target);
+  device = target;

@pane-direct-unclipped pane pictures written into the window's image ignore the painter's clip
skin/PaneDrawing.cpp
-  if (painter.hasClipping()) visible &= transform.map(painter.clipRegion());
+  if (false) visible &= transform.map(painter.clipRegion());

@no-picture-late a pane stays silent for one more moment after its 3 s without a picture
skin/PaneNotice.cpp
-  if (!w.hasPicture || silentMs < kNoPictureAfterMs) return {};
+  if (!w.hasPicture || silentMs <= kNoPictureAfterMs) return {};

@no-picture-undrawn a live pane's notice is decided but never drawn
viewer/CArdevizView.cpp
-    if (!m_noticeShown[ch].isEmpty()) PaneNotice::Draw(painter, pane, m_noticeShown[ch], m_panel.Font());
+    if (m_noticeShown[ch].isEmpty()) PaneNotice::Draw(painter, pane, m_noticeShown[ch], m_panel.Font());

@video-loss-bits a status report's motion bits are taken for video loss
link/CDvrLinkReceive.cpp
-constexpr std::uint32_t kVideoLossMask = 0x00FF0000;  // bits 16..23 of a status report's second word
+constexpr std::uint32_t kVideoLossMask = 0x0000FF00;  // bits 16..23 of a status report's second word

@notice-while-stopped a stopped playback pane still counts the seconds without a picture
archive/CArchiveDlg.cpp
-  const bool playing = (m_playback.PlayState() & kPlayingMask) != 0;
+  const bool playing = true;

@commit-copies a saved file is copied into place and its temporary file left behind
platform/PendingFile.cpp
-    const int error = RenameNoReplace(temporaryPath, name);
+    const int error = QFile::copy(temporaryPath, name) ? 0 : EEXIST;

@commit-through-link a saved file is named by a rename that copies through a dangling link at its name
platform/PendingFile.cpp
-  if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) return 0;
+  if (QFile::rename(from, to)) return 0;

@commit-numbers a taken name is never numbered
platform/PendingFile.cpp
-  for (int n = 1; n <= kMaxNumber; ++n) {
+  for (int n = 1; n <= 1; ++n) {

@part-leftover-pattern start-up removes hidden files that are not its own temporary files
platform/PendingFile.cpp
-constexpr const char* kTemporaryPattern = "^\\.saving-[0-9a-f]{16}\\.part$";
+constexpr const char* kTemporaryPattern = "^\\.saving-.*\\.part$";

@local-file-regular a FIFO or a device is read as a file
platform/LocalFile.cpp
-  return S_ISREG(st.st_mode) && st.st_size >= 0 && static_cast<std::size_t>(st.st_size) <= maxBytes;
+  return st.st_size >= 0 && static_cast<std::size_t>(st.st_size) <= maxBytes;

@replace-any-kind a rename replaces a link or FIFO that stands at a file's name
platform/LocalFile.cpp
-  if (fs::exists(present) && !fs::is_regular_file(present)) return false;
+  if (false) return false;

@event-list-in-place the event list is written into the old file, through whatever stands at its name
viewer/CArdevizView.cpp
-        [](const QString& path, QByteArrayView bytes) { return LocalFile::ReplaceBytes(path, bytes); });
+        [](const QString& path, QByteArrayView bytes) { QFile f(path); return f.open(QIODevice::WriteOnly) && f.write(bytes.data(), bytes.size()) == bytes.size(); });

@profile-past-bound a profile is written past the bound it is read within, and reads as missing from then on
platform/PrivateProfile.cpp
-  return text.size() <= LocalFile::kProfileBound && LocalFile::Replace(path, text);
+  return LocalFile::Replace(path, text);

@history-refusal-silent a connection the history refused is not told to the operator
config/CConfigConnections.cpp
-  if (!AddConnectionHistory(name, address, port))
+  if (!AddConnectionHistory(name, address, port) && false)

@working-folder-fallback an installed program whose per-user folder cannot be made runs on beside its executable
viewer/WorkingFolder.cpp
-  if (!entered) return std::nullopt;
+  if (!entered) return QString();

@data-home-relative a relative XDG_DATA_HOME is taken from the current folder
viewer/WorkingFolder.cpp
-  if (QDir::isRelativePath(qEnvironmentVariable("XDG_DATA_HOME"))) qunsetenv("XDG_DATA_HOME");
+  if (false) qunsetenv("XDG_DATA_HOME");

@lock-any-kind whatever stands at the instance lock's name is locked, a FIFO included
platform/InstanceLock.cpp
-  if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
+  if (fd >= 0 && ::fstat(fd, &st) == 0) {

@lock-folder-shared the instance lock is kept in a folder other users can write
platform/InstanceLock.cpp
-      (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
+      false)

@avi-keyframe-flag AVI frames lose their key-frame flag in the index
platform/AviWriter.cpp
-constexpr std::uint32_t kAviifKeyFrame = 0x10;
+constexpr std::uint32_t kAviifKeyFrame = 0x00;

@slider-clamp the slider's thumb follows the pointer past its track
skin/SkinSlider.cpp
-  const int x = std::clamp(pointerX - kThumbOffset, 0, kMaxDragX);
+  const int x = std::max(pointerX - kThumbOffset, 0);

@drag-from-control a press on a disabled control drags the window
skin/WindowDragHelper.cpp
-      if (m_pWidget->childAt(mouse->position().toPoint())) break;
+      if (false) break;

@status-background the status box is not cleared before its text
skin/StatusPanel.cpp
-  painter.fillRect(rect, Qt::black);
+  painter.fillRect(rect, Qt::transparent);

@status-unannounced a change of the status line reaches no screen reader
viewer/ViewAccessibility.cpp
-    QAccessible::updateAccessibility(&event);
+    (void)event;

@ptz-reply-told-again the same pan/tilt reply opens its box again after OK
viewer/CArdevizView.cpp
-  if (m_toldPtzReply == reply.w) return;
+  if (m_toldPtzReply == reply.w && false) return;

@sim-gap-hour the simulated archive records through its gap hour
sim/SimArchive.cpp
-  return Contains(moment) && moment.time().hour() != kGapHour;
+  return Contains(moment);

@sim-tilt-speed the simulated camera takes tilt speeds above the protocol's maximum
sim/PelcoDecoder.cpp
-  c.tiltSpeed = tiltSpeed > kMaxSpeed ? kMaxSpeed : tiltSpeed;
+  c.tiltSpeed = tiltSpeed;

@sim-login-reply the simulated recorder accepts every login
sim/SimSession.cpp
-  info.w[0] = accepted ? 1 : 0;
+  info.w[0] = 1;

@sim-event-limit the simulated event list grows past its record limit
sim/SimArchive.cpp
-    if (file.size() + 2 * kEventRecordSize > kMaxEventRecords * kEventRecordSize) break;
+    if (file.size() + 2 * kEventRecordSize > 2 * kMaxEventRecords * kEventRecordSize) break;

@keys-repeat-pair an unmarked release and press of one time stamp count as a new press of the held key
skin/SkinKeyboard.cpp
-    if (!down.releasing || event.isAutoRepeat() || (event.timestamp() != 0 && event.timestamp() == down.releasedAt)) {
+    if (!down.releasing || event.isAutoRepeat()) {

@keys-focus-loss a key held while the window loses the focus keeps its button held
skin/SkinKeyboard.cpp
-  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this] { ReleaseAll(); });
+  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [] {});

@keys-modifiers a key with Shift or Ctrl also acts as the plain key
skin/SkinKeyboard.cpp
-    if (k.key == event.key() && k.modifiers == modifiers) return &k;
+    if (k.key == event.key() && (k.modifiers & modifiers) == k.modifiers) return &k;

@stage-quit-on-close the window taken back from the full-screen stage no longer ends the program when closed
viewer/FullScreenStage.cpp
-  m_pWindow->setAttribute(Qt::WA_QuitOnClose, m_bQuitOnClose);
+  m_pWindow->setAttribute(Qt::WA_QuitOnClose, false);

@unsent-bound sends pile up without bound when the recorder stops reading
link/CDvrLink.cpp
-  if (m_socket->bytesToWrite() > kMaxUnsentBytes) {
+  if (false) {

@login-steps-restart each login reply starts the login steps afresh
link/CDvrLink.cpp
-  if (m_loginStep != 0) return;
+  StopLoginSteps();

@every-picture-decoded every live picture of a read is decoded, old ones included
link/CDvrLinkReceive.cpp
-  if (!m_reading) {
+  if (true) {

@lamp-every-flip the activity lamp is repainted at every flip, not with the merged repaints
viewer/CArdevizView.cpp
-  m_activityPending = true;
+  ShowActivity();
@lamp-last-flip-lost a lamp flip inside a repaint interval is never shown
viewer/CArdevizView.cpp
-  if (std::exchange(m_activityPending, false)) ShowActivity();
+  m_activityPending = false;
@positions-every-picture R-/P-POSITION are formatted and repainted for every picture
viewer/CArdevizView.cpp
-  if (!m_positionTimer.isActive()) OnPositionTick();
+  OnPositionTick();
@positions-newest-lost positions that arrive inside the interval are never shown
viewer/CArdevizView.cpp
-  m_positionsWaiting = true;
+  m_positionsWaiting = !m_positionTimer.isActive();
@stream-in-place-unrepaired a stream that lost its end is decoded where it lies, without the end put back
link/CImageCodec.cpp
-  if (!restoreFirst && data[length - 2] == kEoi[0] && data[length - 1] == kEoi[1]) {
+  if (!restoreFirst) {
@waiting-length-stale a waiting picture is decoded at the length of the buffer it was handed
link/CDvrLinkReceive.cpp
-    DecodeLiveImage(ch, picture.data.data(), picture.length, picture.oneChunk);
+    DecodeLiveImage(ch, picture.data.data(), static_cast<std::uint32_t>(picture.data.size()), picture.oneChunk);
@decodes-per-turn all waiting pictures are decoded in one event-loop turn
link/CDvrLinkReceive.cpp
-    if (decodes == kMaxDecodesPerTurn) {
+    if (false) {

@progressive-twice a scaled progressive picture is decoded twice, top rows then scaled
link/CImageCodec.cpp
-  if (scale > 1 && readMarks && IsProgressive(m_workData, m_workLength)) scale = 1;
+  if (false) scale = 1;

@password-in-file the password stays in the settings file when the secret store takes it
viewer/ViewerSettingsStore.cpp
-  if (secrets && secrets->Write(QLatin1String(kPassword), password)) {
+  if (false) {

@clear-password-kept a password an earlier version left in clear stays in the file once the store has it
viewer/ViewerSettingsStore.cpp
-      s.remove(QLatin1String(kPassword));
+      s.sync();

@settings-file-mode the settings file that holds the password keeps a mode others may read
viewer/ViewerSettingsStore.cpp
-  OwnerOnly::RestrictFile(s.fileName());
+  static_cast<void>(s);

@working-folder-mode the per-user working folder keeps a mode others may read
viewer/WorkingFolder.cpp
-  if (!OwnerOnly::MakeFolder(folder)) return false;  // it holds the operator's files: theirs alone
+  if (!QDir().mkpath(folder)) return false;
EOF
)

names=()
declare -A files before after what
parse() {
  local name="" line
  while IFS= read -r line; do
    case $line in
      @*) name=${line%% *}; name=${name#@}; what[$name]=${line#* }; names+=("$name") ;;
      -*) before[$name]=${line#-} ;;
      +*) after[$name]=${line#+} ;;
      "") ;;
      *) files[$name]=$line ;;
    esac
  done <<<"$table"
}
parse

if [ ${#only[@]} -gt 0 ]; then
  for n in "${only[@]}"; do
    [ -n "${files[$n]:-}" ] || { echo "no mutant named $n" >&2; exit 2; }
  done
  names=("${only[@]}")
fi

if [ "$list" = 1 ]; then
  for n in "${names[@]}"; do printf '%-22s %-28s %s\n' "$n" "${files[$n]}" "${what[$n]}"; done
  exit 0
fi

source scripts/common.sh
install_packages "${ARDEVIZ_PACKAGES[@]}" "${ARDEVIZ_TEST_PACKAGES[@]}"

work=${ARDEVIZ_MUTANTS_DIR:-$root/build-mutants}
src=$work/src  # its build/ sits inside it, as in a checkout, so ccache shares the objects of other builds
mkdir -p "$work"
rm -rf "$src"
git clone -q --no-checkout "$root" "$src"
git -C "$src" checkout -q "$(git rev-parse "$rev")"
echo "mutants against $(git -C "$src" log -1 --format='%h %s')"

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$src" -B "$src/build" -G Ninja -DARDEVIZ_BENCH=OFF "${launcher[@]}" >/dev/null
jobs=${ARDEVIZ_MUTANTS_JOBS:-$(($(nproc) + 1))}

build() { cmake --build "$src/build" --parallel "$(nproc)" >"$work/build.log" 2>&1; }
# The plain suite, stopping at its first failure: the unit tests a few at a time,
# then the acceptance scenarios alone, then a short soak. Prints the failing
# test's name, or nothing.
suite() {
  local out=$work/ctest.log
  : >"$out"
  local step
  for step in "-LE acceptance|soak -j $jobs" "-L acceptance" "-L soak"; do
    # shellcheck disable=SC2086
    if ! ARDEVIZ_SOAK_SECONDS=20 ctest --test-dir "$src/build" --no-tests=ignore --stop-on-failure $step >>"$out" 2>&1; then
      grep -E '^\s*[0-9]+/[0-9]+ Test +#[0-9]+: .*(Failed|Timeout|Exception|Not Run)' "$out" | head -1 |
        sed -E 's/.*Test +#[0-9]+: ([^ ]+).*/\1/'
      return 1
    fi
  done
  return 0
}

build || { echo "the unmutated tree does not build (see $work/build.log)" >&2; exit 1; }
if ! first=$(suite); then
  echo "the unmutated suite fails ($first; see $work/ctest.log)" >&2
  exit 1
fi

# mutate NAME: apply the mutant to the scratch tree; false when its line is not there exactly once.
mutate() {
  MUT_FILE="$src/${files[$1]}" MUT_BEFORE="${before[$1]}" MUT_AFTER="${after[$1]}" python3 - <<'PY'
import os, sys
path, old, new = os.environ["MUT_FILE"], os.environ["MUT_BEFORE"], os.environ["MUT_AFTER"]
try:
    text = open(path, encoding="utf-8").read()
except OSError:
    sys.exit(1)
lines = text.split("\n")
hits = [i for i, l in enumerate(lines) if l == old]
if len(hits) != 1:
    sys.exit(1)
lines[hits[0]] = new
open(path, "w", encoding="utf-8").write("\n".join(lines))
PY
}

caught=0
survivors=()
for n in "${names[@]}"; do
  start=$SECONDS
  if ! mutate "$n"; then
    echo "mutant $n: DOES NOT APPLY (${files[$n]} changed; update the table)"
    survivors+=("$n (does not apply)")
    continue
  fi
  if ! build; then
    # A mutant the compiler refuses tells nothing of the tests: choose another.
    echo "mutant $n: DOES NOT BUILD (see $work/build.log; choose another mutation)"
    survivors+=("$n (does not build)")
  elif by=$(suite); then
    echo "mutant $n: NOT CAUGHT ($((SECONDS - start)) s): ${what[$n]}"
    survivors+=("$n")
  else
    echo "mutant $n: caught by ${by:-the suite} ($((SECONDS - start)) s)"
    caught=$((caught + 1))
  fi
  git -C "$src" checkout -q -- "${files[$n]}"
done
build || true

echo "caught $caught of ${#names[@]}"
if [ ${#survivors[@]} -gt 0 ]; then
  printf 'not caught: %s\n' "${survivors[@]}"
  exit 1
fi
