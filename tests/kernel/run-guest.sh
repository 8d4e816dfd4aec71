#!/usr/bin/env bash
# Boots the machine's Debian kernel under qemu (KVM where the machine offers
# it, else emulated) with a small initramfs (busybox, the HID modules, the
# given programs and their shared libraries), runs a script inside the guest
# and exits with that script's status.
#
#   run-guest.sh --work DIR --script GUEST_SCRIPT [--tree HOST_DIR=GUEST_DIR]...
#                [--cache DIR] [--timeout SECONDS] PROGRAM...
#
# PROGRAMs land in /bin of the guest; each --tree is copied to GUEST_DIR. The
# guest script runs as /etc/guest-run.sh under busybox sh in /tmp, with the
# kernel's own sysfs, devtmpfs nodes and uevents and no udev daemon. The
# kernel unpacked for booting is kept in the --cache directory (default: the
# work directory) for later runs.
#
# Exit status: the guest script's; 124 when the guest did not finish in time;
# 125 when the guest never reported a status (a panic, qemu failing, a
# missing package) or the arguments are wrong.
set -euo pipefail

readonly exit_marker="mousecfg-guest-exit:"
readonly modules=(hid uhid hid-generic)  # hidraw is built into hid

log() { echo "run-guest: $*" >&2; }
fail() { log "$*"; exit 125; }

work=""
cache=""
script=""
timeout=240
trees=()
programs=()
while [ $# -gt 0 ]; do
  case "$1" in
    --work) work=$2; shift 2 ;;
    --cache) cache=$2; shift 2 ;;
    --script) script=$2; shift 2 ;;
    --tree) trees+=("$2"); shift 2 ;;
    --timeout) timeout=$2; shift 2 ;;
    -*) fail "unknown option $1" ;;
    *) programs+=("$1"); shift ;;
  esac
done
[ -n "$work" ] && [ -n "$script" ] ||
  fail "usage: run-guest.sh --work DIR --script FILE [--tree HOST=GUEST]... PROGRAM..."
[ -r "$script" ] || fail "no guest script $script"

for tool in qemu-system-x86_64 busybox cpio readelf strip xz; do
  command -v "$tool" >/dev/null ||
    fail "$tool is missing (install qemu-system-x86 busybox-static cpio binutils xz-utils)"
done
kernel_image=$(ls -1 /boot/vmlinuz-* 2>/dev/null | sort -V | tail -n1)
[ -n "$kernel_image" ] || fail "no kernel in /boot (install linux-image-amd64)"
kernel_version=${kernel_image#/boot/vmlinuz-}
module_dir=/lib/modules/$kernel_version
[ -r "$module_dir/modules.dep" ] || fail "no $module_dir/modules.dep"
busybox=$(command -v busybox)
readelf -l "$busybox" | grep -q 'interpreter' && fail "$busybox is linked dynamically (install busybox-static)"

cache=${cache:-$work}
mkdir -p "$work" "$cache"
root=$work/root
rm -rf "$root"
mkdir -p "$root"/{bin,dev,etc,lib/modules,proc,sys,tmp}

# ---- programs and the shared libraries they load ----
copy_with_parents() {  # copies a host file to the same path in the guest
  local target=$root$1
  [ -e "$target" ] && return 0
  mkdir -p "$(dirname "$target")"
  cp -L "$1" "$target"
}
for program in "${programs[@]}"; do
  [ -x "$program" ] || fail "no program $program"
  # Without debug information the initramfs is a fraction of the size.
  guest_program=$root/bin/$(basename "$program")
  strip --strip-debug -o "$guest_program" "$program" || fail "cannot copy $program"
  chmod 0755 "$guest_program"
  # "name => /path (address)" for libraries, "/path (address)" for the loader.
  while read -r library; do
    copy_with_parents "$library"
  done < <(ldd "$program" 2>/dev/null | sed -n -e 's/.*=> \(\/[^ ]*\) .*/\1/p' -e 's/^[[:space:]]*\(\/[^ ]*\) (.*/\1/p')
done

for tree in "${trees[@]}"; do
  source_dir=${tree%%=*}
  guest_dir=${tree#*=}
  [ -d "$source_dir" ] || fail "no directory $source_dir"
  mkdir -p "$root$guest_dir"
  cp -a "$source_dir/." "$root$guest_dir/"
done

install -m 0755 "$busybox" "$root/bin/busybox"
install -m 0644 "$script" "$root/etc/guest-run.sh"

# ---- kernel modules, each after the modules it needs ----
module_order=()
declare -A module_seen=()
add_module() {  # $1: a name (hid-generic) or a path from modules.dep
  local path=$1 dependency
  if [[ $path != */* ]]; then
    local pattern=${1//-/[-_]}
    path=$(grep -E "/${pattern}\.ko(\.[a-z]+)?:" "$module_dir/modules.dep" | head -n1 | cut -d: -f1)
    if [ -z "$path" ]; then
      grep -qE "/${pattern}\.ko" "$module_dir/modules.builtin" && return 0
      fail "kernel module $1 not found"
    fi
  fi
  [ -n "${module_seen[$path]:-}" ] && return 0
  module_seen[$path]=1
  for dependency in $(grep -E "^${path}:" "$module_dir/modules.dep" | cut -d: -f2-); do
    add_module "$dependency"
  done
  module_order+=("$path")
}
for module in "${modules[@]}"; do add_module "$module"; done
: >"$root/etc/modules"
for path in "${module_order[@]}"; do
  name=$(basename "$path")
  case "$name" in  # busybox insmod takes plain objects
    *.ko.xz) xz -dc "$module_dir/$path" >"$root/lib/modules/${name%.xz}"; name=${name%.xz} ;;
    *.ko.zst) zstd -qdc "$module_dir/$path" >"$root/lib/modules/${name%.zst}"; name=${name%.zst} ;;
    *.ko.gz) gzip -dc "$module_dir/$path" >"$root/lib/modules/${name%.gz}"; name=${name%.gz} ;;
    *) cp "$module_dir/$path" "$root/lib/modules/$name" ;;
  esac
  echo "$name" >>"$root/etc/modules"
done

cat >"$root/init" <<EOF
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /tmp
[ -t 1 ] || exec </dev/console >/dev/console 2>&1
for module in \$(cat /etc/modules); do
  insmod /lib/modules/\$module || echo "insmod \$module failed"
done
echo "guest: modules loaded at \$(cut -d' ' -f1 /proc/uptime) s"
cd /tmp
sh /etc/guest-run.sh
status=\$?
echo "guest: done at \$(cut -d' ' -f1 /proc/uptime) s"
echo "$exit_marker \$status"
poweroff -f
EOF
chmod 0755 "$root/init"

initramfs=$work/initramfs.cpio
(cd "$root" && find . -print0 | LC_ALL=C sort -z | cpio --null --create --format=newc --quiet --owner=0:0) >"$initramfs"

# ---- the kernel to boot ----
# The bzImage carries the kernel as a compressed ELF whose PVH entry point qemu
# can start directly; that spares the guest its slow decompression under TCG.
# Unpacked once per kernel version; the bzImage is booted when that fails.
boot_image=$kernel_image
vmlinux=$cache/vmlinux-$kernel_version
if [ ! -s "$vmlinux" ]; then
  unpacked=$vmlinux.$$
  setup_sectors=$(od -An -tu1 -j $((0x1f1)) -N1 "$kernel_image" | tr -d ' ')
  payload_offset=$(od -An -tu4 -j $((0x248)) -N4 "$kernel_image" | tr -d ' ')
  payload_length=$(od -An -tu4 -j $((0x24c)) -N4 "$kernel_image" | tr -d ' ')
  start=$(((setup_sectors + 1) * 512 + payload_offset))
  magic=$(od -An -tx1 -j "$start" -N4 "$kernel_image" | tr -d ' ')
  case "$magic" in
    fd377a58) unpack=(xz -dc --single-stream) ;;
    28b52ffd) unpack=(zstd -qdc) ;;
    1f8b*) unpack=(gzip -dc) ;;
    *) unpack=() ;;
  esac
  if [ ${#unpack[@]} -gt 0 ]; then
    tail -c +$((start + 1)) "$kernel_image" | head -c "$payload_length" |
      "${unpack[@]}" >"$unpacked" 2>/dev/null || true
    # Note type 0x12: the PVH entry point. Renamed into place whole, so that
    # runs in parallel never boot a half-written file.
    if readelf -n "$unpacked" 2>/dev/null | grep -q '0x00000012'; then
      mv "$unpacked" "$vmlinux"
    fi
  fi
  rm -f "$unpacked"
fi
[ -s "$vmlinux" ] && boot_image=$vmlinux || log "booting the compressed kernel (no PVH entry found)"

# Software emulation by default: it behaves the same on every machine, while
# KVM inside a virtual machine was seen to stop the guest with an emulation
# failure. MOUSECFG_GUEST_ACCEL=kvm asks for KVM (with the host's CPU model).
accelerators=(-accel tcg)
if [ "${MOUSECFG_GUEST_ACCEL:-tcg}" = kvm ]; then
  accelerators=(-accel kvm -cpu host)
fi

console=$work/console.log
log "kernel $kernel_version, initramfs $(($(stat -c %s "$initramfs") / 1024)) KiB"
started=$(date +%s%N)
set +e
timeout --kill-after=5 "$timeout" qemu-system-x86_64 \
  "${accelerators[@]}" -m 512M -smp 1 -nodefaults -no-user-config -display none -serial stdio -no-reboot \
  -kernel "$boot_image" -initrd "$initramfs" \
  -append "console=ttyS0 quiet panic=-1" </dev/null 2>&1 | tr -d '\r' | tee "$console"
qemu_status=${PIPESTATUS[0]}
set -e
log "guest ran $((($(date +%s%N) - started) / 1000000)) ms"
[ "$qemu_status" -eq 124 ] || [ "$qemu_status" -eq 137 ] && { log "guest did not finish in $timeout s"; exit 124; }
status=$(sed -n "s/^$exit_marker \([0-9]*\)\$/\1/p" "$console" | tail -n1)
[ -n "$status" ] || fail "the guest reported no status (qemu exit $qemu_status)"
exit "$status"
