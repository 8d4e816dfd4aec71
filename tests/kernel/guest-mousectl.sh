# Runs inside the guest (busybox sh): mousectl against the simulated mouse on
# uhid, found through the kernel's sysfs and hidraw like a real mouse.
config_dir=/tmp/mousectl
wire_log=/tmp/wire.log
failures=0

check() {  # check NAME COMMAND...: runs the command, reports the outcome
  name=$1
  shift
  if "$@"; then
    echo "check ok: $name"
  else
    echo "check FAILED: $name"
    failures=$((failures + 1))
  fi
}

# The vendor interface's node, once the kernel lists it.
vendor_node() {
  for uevent in /sys/class/hidraw/*/device/uevent; do
    grep -q '^HID_PHYS=.*/input1$' "$uevent" 2>/dev/null && return 0
  done
  return 1
}

mkdir -p "$config_dir"
cat >"$config_dir/config.xml" <<'XML'
<usb vid="1A2B" pid="3C4D" interface="1" subdevice="-1" />
XML

MOUSECFG_WIRE_LOG=$wire_log /bin/uhid-mouse &
mouse=$!
tries=0
until vendor_node || [ $tries -ge 100 ]; do
  sleep 0.05
  tries=$((tries + 1))
done
check "the mouse's vendor interface appears" vendor_node

mousectl --dir "$config_dir" info >/tmp/info.txt
check "info exits 0" [ $? -eq 0 ]
cat /tmp/info.txt
check "info shows the mouse connected" grep -qx 'connection: connected' /tmp/info.txt
check "info shows the firmware version" grep -qx 'version: v0105' /tmp/info.txt
check "info shows the factory DPI stage" grep -q '^dpi stage: 0 (level 0, 500 DPI, colour FF0000)$' /tmp/info.txt
check "the version was read from the mouse" grep -q ' H>D 07 F9 ' "$wire_log"

mousectl --dir "$config_dir" info --json >/tmp/info.json
check "info --json exits 0" [ $? -eq 0 ]
cat /tmp/info.json
check "info --json shows the mouse connected" grep -q '"connected":true' /tmp/info.json
check "info --json shows the firmware version" grep -q '"version":"v0105"' /tmp/info.json

mousectl --dir "$config_dir" set mode 2
check "set mode exits 0" [ $? -eq 0 ]
check "SetMode for mode 2 reached the mouse" grep -q ' H>D 07 FA 03 ' "$wire_log"
mousectl --dir "$config_dir" info >/tmp/info.txt
check "the mouse keeps the new mode" grep -qx 'mode: 2' /tmp/info.txt

# A macro download: 48 halves written back to back, then the bind. In mode 2,
# button 1 takes slot 17.
cat >/tmp/macro.xml <<'XML'
<macro name="a" repeat="1"><item code="65" state="0" delay="50"/><item code="65" state="1" delay="50"/></macro>
XML
mousectl --dir "$config_dir" assign 1 macro /tmp/macro.xml
check "assign macro exits 0" [ $? -eq 0 ]
check "every macro half reached the mouse" [ "$(grep -c ' H>D 07 FF ' "$wire_log")" -eq 48 ]
check "the macro was bound to button 1" grep -q ' H>D 07 FE 02 12 ' "$wire_log"
check "the assignment was recorded in the profile file" [ -s "$config_dir/msprofile.xml" ]

kill "$mouse"
wait "$mouse"
check "the mouse unplugs cleanly" [ $? -eq 0 ]
mousectl --dir "$config_dir" info >/tmp/info.txt 2>/tmp/info.err
check "info exits 1 without the mouse" [ $? -eq 1 ]
cat /tmp/info.err

echo "mousectl checks failed: $failures"
[ $failures -eq 0 ]
