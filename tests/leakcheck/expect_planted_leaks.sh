#!/bin/sh
# Runs planted_leaks ($1) and passes when the leak checker reports exactly its two
# leaks, with the handlers that made them, and nothing of Qt or the system below it.
# Without a display the xcb runs are skipped (77).
[ "$QT_QPA_PLATFORM" != xcb ] || [ -n "$DISPLAY" ] || exit 77
out=$("$1" 2>&1)
status=$?
printf '%s\n' "$out"
fail() { echo "expect_planted_leaks: $*"; exit 1; }
[ "$status" -ne 3 ] || fail "the handlers did not run"
printf '%s\n' "$out" | grep -q "PlantedLeakWidget::paintEvent(QPaintEvent\*) " || fail "the paint handler's leak is not reported"
printf '%s\n' "$out" | grep -q "PlantedLeakWidget::mousePressEvent(QMouseEvent\*) " || fail "the mouse handler's leak is not reported"
printf '%s\n' "$out" | grep -q "SUMMARY: AddressSanitizer: 3333 byte(s) leaked in 2 allocation(s)" \
    || fail "other leaks than the two planted ones are reported"
