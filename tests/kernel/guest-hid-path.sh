# Runs inside the guest (busybox sh): the HID path tests against the kernel.
export MOUSECFG_GUEST_FIXTURES=/fixtures
exec /bin/kernel_guest_tests --gtest_color=no
