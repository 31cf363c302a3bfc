#!/usr/bin/env bash
# Gives the tests a real printer: CUPS with a PDF printer as the default, which
# Wine lists as "PDF". Best effort: without it the printed-page test skips.
set -u
command -v cupsd >/dev/null 2>&1 || exit 0
if ! pgrep -x cupsd >/dev/null 2>&1; then
  /usr/sbin/cupsd >/dev/null 2>&1 || true
fi
for _ in $(seq 1 50); do
  lpstat -r 2>/dev/null | grep -q "is running" && break
  sleep 0.1
done
if ! lpstat -p PDF >/dev/null 2>&1; then
  timeout 30 lpadmin -p PDF -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd >/dev/null 2>&1 || true
fi
timeout 30 lpadmin -d PDF >/dev/null 2>&1 || true
exit 0
