# Front door. `make test` on a fresh Debian machine (as root) installs what it needs.
SHELL := /bin/bash
ROOT := $(abspath .)
BUILD := $(ROOT)/build
NATIVE := $(BUILD)/native
WIN32 := $(BUILD)/win32
export WINEDEBUG := -all
export WINEDLLOVERRIDES := mscoree,mshtml=
# The Wine stages run where local time is not UTC and summer time applies, so a local time
# handed over where UTC belongs (or the other way round) shows. Wine follows TZ.
WINE_TZ := TZ=Europe/Berlin
JOBS := $(shell nproc)
# The version lives once, in the DLL's version resource.
VERSION := $(shell sed -n 's/^ *VALUE "ProductVersion", "\([0-9.]*\)".*/\1/p' src/res/dawnbell.rc)
DIST := $(ROOT)/dist
SETUP := $(DIST)/dawnbell-$(VERSION)-setup.exe
ZIP := $(DIST)/dawnbell-$(VERSION).zip
DEB_PACKAGES := g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine xvfb xauth cmake g++ googletest imagemagick nsis zip

# Wine runs 32-bit Windows programs as 32-bit x86 code, which some kernels refuse. There the
# Wine stages run a 64-bit build of the same code under wine64, in a folder and prefix of its
# own; the DLL users install is still the 32-bit one, built and its shape checked. Through
# qemu-user the 32-bit stages do run, many times slower: `make test WINE_EMULATED=1` asks for that.
# A 32-bit x86 program of 96 bytes that exits at once with 0: whether this kernel runs it.
KERNEL_RUNS_32BIT := f=$$(mktemp) && printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x00\x00\x00\x00\xcd\x80' >$$f && \
  chmod +x $$f && { $$f 2>/dev/null; r=$$?; rm -f $$f; [ $$r = 0 ]; }
RUNS_32BIT := [ -n "$(WINE_EMULATED)" ] || { ! grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386 && \
  timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1; }
RUNS_64BIT := [ "$$(uname -m)" = x86_64 ] && timeout 20 /usr/lib/wine/wine64 --version >/dev/null 2>&1
# 32, 64 or none: read once per make, after `make deps` for the stages `make test` runs.
ifeq ($(origin WINE_WIDTH),undefined)
WINE_WIDTH := $(shell if $(RUNS_32BIT); then echo 32; elif $(RUNS_64BIT); then echo 64; else echo none; fi)
endif
ifeq ($(WINE_WIDTH),64)
WIN := $(BUILD)/win64
WIN_TARGET := win64
export WINEPREFIX := $(BUILD)/wineprefix64
# /usr/bin/wine picks the 32-bit loader whenever wine32 is installed: name the 64-bit one.
WINE := /usr/lib/wine/wine64
export WINELOADER := $(WINE)
export WINESERVER := /usr/lib/wine/wineserver64
else
WIN := $(WIN32)
WIN_TARGET := win32
export WINEPREFIX := $(BUILD)/wineprefix
WINE := wine
WINESERVER := wineserver
endif
# A Wine server left over from an interrupted run keeps its desktop on an X display that is
# gone, and every window then takes seconds to close: each run starts on a fresh server.
FRESH_WINE := $(WINESERVER) -k 2>/dev/null; $(WINESERVER) -w 2>/dev/null;
XVFB := xvfb-run -a -s '-screen 0 1024x768x24'
NO_WINE := echo "*** NOT RUN: the Wine tests, the setup program's tests and the showcase. No Wine runs here: this kernel ($$(uname -r)) refuses 32-bit programs and wine64 would not start; they were built, not run. ***"

.PHONY: run-player soak-wine-if-any wine-build run-wine-suite run-showcase
.PHONY: all deps native win32 win64 dll dist run showcase test test-stages test-native test-wine test-dist test-showcase soak soak-native soak-wine night runs-32bit facts bench clean

all: dll

# wine32 only where the kernel runs it; elsewhere wine64. A mirror caught mid-sync fails a list
# or two of apt-get update: what it has is used, and the install says whether it sufficed.
deps:
	@if $(KERNEL_RUNS_32BIT); then wine=wine32:i386; else wine=wine64; fi; \
	if dpkg -s $(DEB_PACKAGES) $$wine >/dev/null 2>&1; then echo "deps: all present"; exit 0; fi; \
	if [ $$wine = wine32:i386 ]; then dpkg --add-architecture i386; fi; \
	apt-get update -qq || echo "deps: apt-get update failed; installing from the package lists there are"; \
	DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $(DEB_PACKAGES) $$wine && exit 0; \
	[ $$wine = wine32:i386 ] || exit 1; \
	echo "deps: wine32 cannot be installed now; the Wine stages run the 64-bit build under wine64"; \
	DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $(DEB_PACKAGES) wine64

native:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(NATIVE) -j $(JOBS)

win32:
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(WIN32) -j $(JOBS)

win64:
	cmake -S . -B $(BUILD)/win64 -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(BUILD)/win64 -j $(JOBS)

dll:
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(WIN32) -j $(JOBS) --target gen_dawnbell

# A private Wine prefix, made once (rename the stamp when this recipe changes).
$(WINEPREFIX)/.ready-3:
	mkdir -p $(WINEPREFIX)
	xvfb-run -a $(WINE) wineboot -i >/dev/null 2>&1
	$(WINE) reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
	# No window manager under Xvfb: unmanaged windows hide at once instead of waiting 2 s for one.
	$(WINE) reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
	# Wine's own fonts (MS Sans Serif, Marlett...) are not found where Debian puts them; without
	# them dialogs fall back to a wider font and clip their labels.
	cp -n /usr/share/wine/fonts/* $(WINEPREFIX)/drive_c/windows/Fonts/ 2>/dev/null || true
	$(WINESERVER) -w
	touch $@

# Each stage is timed; the last line gives their seconds. The stages are a second make, so
# that the Wine `make deps` installed is the one they find.
STAGE = s=$$(date +%s); $(MAKE) --no-print-directory $(1) || exit 1; t_$(2)=$$(( $$(date +%s) - s ));
test: deps
	@$(MAKE) --no-print-directory test-stages

# The showcase waits on its simulated clock, which runs in real time: it runs beside the Wine
# suite, in a copy of the prefix (each prefix has a server and registry of its own).
SHOWCASE_PREFIX := $(WINEPREFIX)-showcase
BESIDE_SUITE = rm -rf $(SHOWCASE_PREFIX) && cp -a $(WINEPREFIX) $(SHOWCASE_PREFIX) && \
  { s=$$(date +%s); $(MAKE) --no-print-directory run-showcase WINEPREFIX=$(SHOWCASE_PREFIX) \
  >$(BUILD)/showcase.log 2>&1; echo $$? >$(BUILD)/showcase.status; echo $$(( $$(date +%s) - s )) >$(BUILD)/showcase.seconds; } &
SHOWCASE_RESULT = wait; cat $(BUILD)/showcase.log; t_showcase=$$(cat $(BUILD)/showcase.seconds); \
  [ "$$(cat $(BUILD)/showcase.status)" = 0 ] || { echo "*** the showcase failed ***"; exit 1; };
test-stages:
	@$(call STAGE,test-native,native) \
	case $(WINE_WIDTH) in \
	  32|64) $(call STAGE,wine-build,build) \
	      $(BESIDE_SUITE) $(call STAGE,run-wine-suite,wine) $(SHOWCASE_RESULT) $(call STAGE,test-dist,dist) \
	      wine="wine$(if $(filter 64,$(WINE_WIDTH)), 64-bit) build $$t_build, suite $$t_wine"; \
	      beside=" (beside the suite)";; \
	  *) $(MAKE) --no-print-directory win32 win64 dist || exit 1; $(NO_WINE); wine="wine -"; t_dist=-; t_showcase=-;; \
	esac; \
	$(MAKE) --no-print-directory facts; \
	echo "stage seconds: native $$t_native, $$wine, dist $$t_dist, showcase $$t_showcase$$beside"

# Exit status 0 where the 32-bit Wine stages can run (natively, or through qemu when asked).
runs-32bit:
	@$(RUNS_32BIT)

test-native:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(NATIVE) -j $(JOBS) --target core_tests_plain core_tests_sanitized
	$(NATIVE)/core_tests_plain --gtest_brief=1
	$(NATIVE)/core_tests_sanitized --gtest_brief=1

# What the Wine stages run. In the 64-bit suite the descriptor tests also read the 32-bit DLL.
wine-build: $(WIN_TARGET) $(if $(filter 64,$(WINE_WIDTH)),dll) $(WINEPREFIX)/.ready-3

test-wine: wine-build
	@$(MAKE) --no-print-directory run-wine-suite

run-wine-suite:
	mkdir -p $(BUILD)/screens
	@s=$$(date +%s); cd $(WIN) && $(FRESH_WINE) $(WINE_TZ) timeout 900 $(XVFB) \
	  $(WINE) ./win32_tests.exe --gtest_brief=1 '--gtest_filter=-Soak*'; status=$$?; $(WINESERVER) -k 2>/dev/null; \
	  echo "wine suite ($(WINE_WIDTH)-bit): $$(( $$(date +%s) - s )) s (its build and prefix not counted)"; exit $$status

# The long reliability loops (ten thousand random nights of the playback logic, natively; a
# thousand dialogs, ten thousand registry states under Wine): CI runs them after make test.
soak: deps
	@$(MAKE) --no-print-directory soak-native
	@$(MAKE) --no-print-directory soak-wine-if-any

# Where the 64-bit suite runs, make test builds only the 32-bit DLL; the soak builds the whole
# 32-bit tree, so its tests and player still compile warning-free in CI.
soak-wine-if-any:
	@case $(WINE_WIDTH) in 32) $(MAKE) --no-print-directory soak-wine;; \
	  64) $(MAKE) --no-print-directory win32 soak-wine;; \
	  *) $(MAKE) --no-print-directory win32 win64 && $(NO_WINE);; esac

# Nights 1 to 10,000, the same ones every run.
soak-native: native
	NIGHTS=10000 $(NATIVE)/core_tests_plain --gtest_brief=1 --gtest_filter='Nights.*'

# One night again, each step and each call the plug-in makes: make night SEED=1234
night: native
	@test -n "$(SEED)" || { echo "usage: make night SEED=n"; exit 2; }
	NIGHTS_SEED=$(SEED) $(NATIVE)/core_tests_plain --gtest_filter='Nights.*'

soak-wine: $(WIN_TARGET) $(WINEPREFIX)/.ready-3
	cd $(WIN) && $(FRESH_WINE) $(WINE_TZ) timeout 1800 $(XVFB) $(WINE) ./win32_tests.exe \
	  --gtest_brief=1 '--gtest_filter=Soak*'; status=$$?; $(WINESERVER) -k 2>/dev/null; exit $$status

# The setup program and the zip for copying the DLL by hand.
dist: deps dll
	$(if $(VERSION),,$(error no ProductVersion in src/res/dawnbell.rc))
	mkdir -p $(DIST)
	rm -f $(SETUP) $(ZIP)
	cd installer && makensis -V2 -WX -DVERSION=$(VERSION) -DDLL=$(WIN32)/gen_dawnbell.dll \
	  -DOUTFILE=$(SETUP) dawnbell.nsi
	rm -rf $(DIST)/zip && mkdir -p $(DIST)/zip
	cp $(WIN32)/gen_dawnbell.dll README.md $(DIST)/zip/ && cp LICENSE $(DIST)/zip/LICENSE.txt
	cd $(DIST)/zip && zip -q -X -z ../dawnbell-$(VERSION).zip gen_dawnbell.dll README.md LICENSE.txt \
	  <<< "Dawnbell Winamp Plug-in $(VERSION)"
	rm -rf $(DIST)/zip
	@ls -l $(SETUP) $(ZIP)

# Runs the setup program and its uninstaller against fake player folders in the prefix. The
# setup program is a 32-bit program: under wine64 alone it cannot run.
test-dist: dist $(WIN_TARGET) $(WINEPREFIX)/.ready-3
	[ "$$(zip -sf $(ZIP) | sed -n 's/^  //p' | LC_ALL=C sort | tr '\n' ' ')" = "LICENSE.txt README.md gen_dawnbell.dll " ]
	@if [ "$(WINE_WIDTH)" != 32 ]; then echo "*** NOT RUN: the setup program's tests. The setup program is a 32-bit program, and this kernel refuses those; the setup program and the zip were built. ***"; exit 0; fi; \
	cd $(WIN) && $(FRESH_WINE) $(WINE_TZ) timeout 600 $(XVFB) \
	  $(WINE) ./dist_tests.exe 'Z:$(subst /,\,$(SETUP))' --gtest_brief=1; \
	  status=$$?; $(WINESERVER) -k 2>/dev/null; exit $$status

facts:
	@echo "gen_dawnbell.dll: $$(stat -c %s $(WIN32)/gen_dawnbell.dll) bytes"
	@echo "imports: $$(i686-w64-mingw32-objdump -p $(WIN32)/gen_dawnbell.dll | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"

# Figures, not tests: each line gives a measurement and its goal.
bench: deps native win32 $(WIN_TARGET) $(WINEPREFIX)/.ready-3
	@command -v valgrind >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq valgrind
	@$(MAKE) --no-print-directory facts | sed 's/^/figure: /'
	@echo "figure: goal: DLL <= 49152 bytes (48 KiB); imports: Windows system DLLs only"
	@cd $(NATIVE) && for mode in off other eight fired; do \
	  valgrind --tool=callgrind --callgrind-out-file=callgrind.$$mode --toggle-collect='ClockTick*' ./tick_bench $$mode 2>/dev/null; \
	  printf 'figure: %-44s %10s instr  goal <= 300\n' "idle ClockTick ($$mode)" "$$(sed -n 's/^summary: //p' callgrind.$$mode)"; done
	@cd $(NATIVE) && valgrind --tool=callgrind --callgrind-out-file=callgrind.ringing --toggle-collect='ClockTick*' ./tick_bench ringing 2>/dev/null; \
	  printf 'figure: %-44s %10s instr  two IPCs, three until the player is heard\n' "ringing ClockTick" "$$(sed -n 's/^summary: //p' callgrind.ringing)"
	@cd $(NATIVE) && valgrind --tool=callgrind --callgrind-out-file=callgrind.sleep --toggle-collect='ClockTick*' ./tick_bench sleep 2>/dev/null; \
	  printf 'figure: %-44s %10s instr  goal <= 300\n' "ClockTick with a sleep countdown running" "$$(sed -n 's/^summary: //p' callgrind.sleep)"
	@cd $(NATIVE) && valgrind --tool=callgrind --callgrind-out-file=callgrind.fade --toggle-collect='FadeInTick*' ./tick_bench fade 2>/dev/null; \
	  printf 'figure: %-44s %10s instr\n' "fade step (FadeInTick)" "$$(sed -n 's/^summary: //p' callgrind.fade)"
	@cd $(WIN) && $(FRESH_WINE) $(WINE_TZ) $(XVFB) $(WINE) ./win32_tests.exe --gtest_also_run_disabled_tests \
	  --gtest_filter='Figures.*:Playlist.LargeLists*' 2>&1 | grep -E '^figure|FAILED'; $(WINESERVER) -k 2>/dev/null; true


# With a display: the player, interactive. Without one: the scripted showcase under Xvfb.
# ARGS go to the player, e.g. ARGS="--speed 10 --clock 06:59:30".
run: deps
	@$(MAKE) --no-print-directory run-player

run-player:
	@case $(WINE_WIDTH) in 32|64) ;; *) echo "make run: no Wine can run here (this kernel refuses 32-bit programs and wine64 would not start), so the player cannot be shown."; exit 1;; esac
	@$(MAKE) --no-print-directory $(WIN_TARGET) $(WINEPREFIX)/.ready-3
	@if [ -n "$$DISPLAY" ]; then cd $(WIN) && $(WINE) ./dawnbell_player.exe $(ARGS); \
	else $(MAKE) --no-print-directory showcase; fi

# The showcase on the simulated clock: prints the timeline, saves the screenshots, and
# fails unless the timeline is the expected one.
SCREENS := $(BUILD)/screens
SHOWCASE_SCREENS := player player_music ringing menu sleep_menu alarm_menu showcase_settings showcase_about
showcase: $(WIN_TARGET) $(WINEPREFIX)/.ready-3
	@$(MAKE) --no-print-directory run-showcase

run-showcase:
	mkdir -p $(SCREENS) && cd $(SCREENS) && rm -f $(foreach s,$(SHOWCASE_SCREENS),$(s).bmp $(s).png)
	cd $(WIN) && $(FRESH_WINE) $(WINE_TZ) timeout 170 $(XVFB) sh -c \
	  '$(WINE) ./dawnbell_player.exe --showcase --screens ../screens; s=$$?; $(WINESERVER) -k; exit $$s'; \
	  status=$$?; \
	  for s in $(SHOWCASE_SCREENS); do f=$(SCREENS)/$$s; [ -e $$f.bmp ] || continue; \
	    convert $$f.bmp $$f.png && rm $$f.bmp && echo "screen: $$f.png"; done; exit $$status

test-showcase: showcase

clean:
	rm -rf $(BUILD) $(DIST)
