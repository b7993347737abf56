# SPDX-License-Identifier: GPL-3.0-or-later
# The README's commands: each does the whole set-up on a fresh Debian 12 machine.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

DEBIAN_PACKAGES := cmake g++ make qt6-base-dev qt6-svg-dev qt6-translations-l10n fonts-dejavu-core \
                   libgl-dev desktop-file-utils appstream
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: all deps configure build run test test-asan bench screenshots install package clean

all: build

# Installs only what is missing, so a set-up machine costs no apt run.
deps:
	@missing=""; for p in $(DEBIAN_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

configure: deps
	@[ -f $(BUILD_DIR)/CMakeCache.txt ] || cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No graphical display found (neither DISPLAY nor WAYLAND_DISPLAY is set): writing screenshots of the windows instead."; \
	  QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/kollavo_screenshots $(BUILD_DIR)/screenshots; \
	else \
	  $(BUILD_DIR)/kollavo; \
	fi

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, in a build of its own.
# Leaks are looked for too, with the known ones of the system libraries suppressed.
ASAN_DIR ?= build-asan
test-asan: deps
	@[ -f $(ASAN_DIR)/CMakeCache.txt ] || cmake -S . -B $(ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DKOLLAVO_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b"; done

screenshots: build
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/kollavo_screenshots docs

# The program, its desktop entry, icon and AppStream metadata; `make install PREFIX=/usr
# DESTDIR=/tmp/root` stages them for packaging.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# A .deb in $(BUILD_DIR). Its dependencies come from dpkg-shlibdeps, which only packaging needs.
package: build
	@$(MAKE) --no-print-directory deps DEBIAN_PACKAGES=dpkg-dev
	cd $(BUILD_DIR) && cpack

clean:
	rm -rf $(BUILD_DIR)
