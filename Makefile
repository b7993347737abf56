# SPDX-License-Identifier: GPL-3.0-or-later
# The README's commands: each does the whole set-up on a fresh Debian 12 machine.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
# ON in CI: a warning fails the build.
WERROR ?= OFF
JOBS ?= $(shell nproc)

# qt6-base-private-dev: the tests switch Qt's accessibility events on without a screen
# reader, through Qt's platform layer, as Qt's own tests do.
DEBIAN_PACKAGES := cmake ninja-build make g++ qt6-base-dev qt6-base-private-dev qt6-charts-dev \
                   qt6-svg-dev libboost-math-dev qt6-translations-l10n fonts-dejavu-core libgl-dev \
                   libxcb1-dev desktop-file-utils appstream
SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

# Everything the Makefile passes to CMake; a build folder configured with other values is
# configured again, so changing BUILD_TYPE or WERROR is never silently ignored.
CMAKE_ARGS = -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKOLLAVO_WERROR=$(WERROR) $(EXTRA_CMAKE_ARGS)

.PHONY: all deps configure build run test test-asan bench screenshots install package clean \
        windows windows-deps windows-qt windows-configure test-windows

all: build

# Installs only what is missing, so a set-up machine costs no apt run.
deps:
	@missing=""; for p in $(DEBIAN_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing >/dev/null; \
	fi

# $(call configure-in,DIR,ARGS): configures DIR unless it already was, with exactly ARGS. A folder
# made by another generator is started afresh, since CMake cannot switch generators in place.
define configure-in
	@stamp="$(1)/kollavo-configure-args"; \
	if [ ! -f "$(1)/CMakeCache.txt" ] || [ "$$(cat "$$stamp" 2>/dev/null)" != "$(strip $(2))" ]; then \
	  if [ -f "$(1)/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$$' "$(1)/CMakeCache.txt"; then \
	    rm -rf "$(1)/CMakeCache.txt" "$(1)/CMakeFiles"; \
	  fi; \
	  echo "Configuring $(1): $(strip $(2))"; mkdir -p "$(1)"; \
	  cmake -S . -B "$(1)" $(2) > "$(1)/kollavo-configure.log" 2>&1 || { cat "$(1)/kollavo-configure.log"; exit 1; }; \
	  echo "$(strip $(2))" > "$$stamp"; \
	fi
endef

configure: deps
	$(call configure-in,$(BUILD_DIR),$(CMAKE_ARGS))

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Builds only what it runs: the program, or without a display the screenshot tool.
run: configure
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No graphical display found (neither DISPLAY nor WAYLAND_DISPLAY is set): writing screenshots of the windows instead."; \
	  cmake --build $(BUILD_DIR) -j $(JOBS) --target kollavo_screenshots && \
	  QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/kollavo_screenshots $(BUILD_DIR)/screenshots; \
	else \
	  cmake --build $(BUILD_DIR) -j $(JOBS) --target kollavo && $(BUILD_DIR)/kollavo; \
	fi

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, in a build of its own.
# Leaks are looked for too, with the known ones of the system libraries suppressed.
ASAN_DIR ?= build-asan
test-asan: deps
	$(call configure-in,$(ASAN_DIR),-G Ninja -DCMAKE_BUILD_TYPE=Debug -DKOLLAVO_SANITIZE=ON -DKOLLAVO_WERROR=$(WERROR))
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# Every benchmark program (not the folders CMake keeps beside them); fails when one fails.
bench: build
	@status=0; for b in $(BUILD_DIR)/bench/bench_*; do \
	  [ -f "$$b" ] && [ -x "$$b" ] || continue; \
	  QT_QPA_PLATFORM=offscreen "$$b" || status=1; \
	done; exit $$status

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

# Windows: the installer and the portable zip, cross-built with mingw-w64 against a Qt that is
# built from source once into a cache (about an hour) and reused after. `make test-windows` runs
# the tests under Wine. Neither is part of `make test` or CI.
WINDOWS_DIR ?= build-windows
WINDOWS_PACKAGES := g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis zip xz-utils \
                    wine64 qt6-base-dev-tools qt6-translations-l10n libboost-math-dev
QT_SOURCE_DIR ?= $(abspath $(CURDIR)/../shared/qt-src)
KOLLAVO_QT_WIN_PREFIX ?= $(HOME)/.cache/kollavo-qt-6.4.2-win64
WINDOWS_CMAKE_ARGS = -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKOLLAVO_WERROR=$(WERROR) \
  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
  -DKOLLAVO_QT_WIN_PREFIX=$(KOLLAVO_QT_WIN_PREFIX) \
  -DCMAKE_CROSSCOMPILING_EMULATOR=$(CURDIR)/tools/windows/wine-run.sh \
  -DBoost_INCLUDE_DIR=$(CURDIR)/$(WINDOWS_DIR)/boost-include -DBoost_NO_BOOST_CMAKE=ON \
  $(EXTRA_CMAKE_ARGS)

windows-deps:
	@$(MAKE) --no-print-directory deps DEBIAN_PACKAGES="$(DEBIAN_PACKAGES) $(WINDOWS_PACKAGES)"

windows-qt: windows-deps
	JOBS=$(JOBS) tools/windows/build-qt.sh "$(QT_SOURCE_DIR)" "$(KOLLAVO_QT_WIN_PREFIX)"

# Boost.Math is header-only; the Windows build sees Debian's boost headers and nothing else of
# /usr/include.
windows-configure: windows-qt
	@mkdir -p $(WINDOWS_DIR)/boost-include && ln -sfn /usr/include/boost $(WINDOWS_DIR)/boost-include/boost
	$(call configure-in,$(WINDOWS_DIR),$(WINDOWS_CMAKE_ARGS))

windows: windows-configure
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target kollavo
	tools/windows/package.sh $(WINDOWS_DIR) "$(KOLLAVO_QT_WIN_PREFIX)"

# Only the tests: the benchmarks and tools are Linux's.
test-windows: windows-configure
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target tests/all
	cd $(WINDOWS_DIR) && KOLLAVO_QT_WIN_PREFIX="$(KOLLAVO_QT_WIN_PREFIX)" \
	  ctest --output-on-failure -j $(JOBS) --timeout 600

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(WINDOWS_DIR)
