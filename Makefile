# Front door. `make test` on a fresh Debian machine (as root) installs what it needs.
SHELL := /bin/bash
ROOT := $(abspath .)
BUILD := $(ROOT)/build
NATIVE := $(BUILD)/native
WIN32 := $(BUILD)/win32
export WINEPREFIX := $(BUILD)/wineprefix
export WINEDEBUG := -all
export WINEDLLOVERRIDES := mscoree,mshtml=
# The Wine stages run where local time is not UTC and summer time applies, so a local time
# handed over where UTC belongs (or the other way round) shows. Wine follows TZ.
WINE_TZ := TZ=Europe/Berlin
JOBS := $(shell nproc)
# A Wine server left over from an interrupted run keeps its desktop on an X display that is
# gone, and every window then takes seconds to close: each run starts on a fresh server.
FRESH_WINE := wineserver -k 2>/dev/null; wineserver -w 2>/dev/null;
# The version lives once, in the DLL's version resource.
VERSION := $(shell sed -n 's/^ *VALUE "ProductVersion", "\([0-9.]*\)".*/\1/p' src/res/dawnbell.rc)
DIST := $(ROOT)/dist
SETUP := $(DIST)/dawnbell-$(VERSION)-setup.exe
ZIP := $(DIST)/dawnbell-$(VERSION).zip
DEB_PACKAGES := g++-mingw-w64-i686 wine wine32:i386 xvfb xauth cmake g++ googletest imagemagick nsis zip

.PHONY: all deps native win32 dll dist run showcase test test-native test-wine test-dist test-showcase soak soak-native soak-wine night runs-32bit facts bench clean

all: dll

deps:
	@if dpkg -s $(DEB_PACKAGES) >/dev/null 2>&1; then echo "deps: all present"; else \
	  dpkg --add-architecture i386 && apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $(DEB_PACKAGES); fi

native:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(NATIVE) -j $(JOBS)

win32:
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(WIN32) -j $(JOBS)

dll:
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(WIN32) -j $(JOBS) --target gen_dawnbell

# A private Wine prefix, made once (rename the stamp when this recipe changes).
$(WINEPREFIX)/.ready-3:
	mkdir -p $(WINEPREFIX)
	xvfb-run -a wineboot -i >/dev/null 2>&1
	wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
	# No window manager under Xvfb: unmanaged windows hide at once instead of waiting 2 s for one.
	wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
	# Wine's own fonts (MS Sans Serif, Marlett...) are not found where Debian puts them; without
	# them dialogs fall back to a wider font and clip their labels.
	cp -n /usr/share/wine/fonts/* $(WINEPREFIX)/drive_c/windows/Fonts/ 2>/dev/null || true
	wineserver -w
	touch $@

# Wine runs 32-bit Windows programs as 32-bit x86 code. A kernel that refuses 32-bit programs
# cannot run the Wine stages: they are then built, and reported loudly as not run. Through
# qemu-user they do run, many times slower: `make test WINE_EMULATED=1` asks for that.
RUNS_32BIT := [ -n "$(WINE_EMULATED)" ] || { ! grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386 && \
  timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1; }
NOT_RUN := echo "*** NOT RUN: the Wine tests, the setup program's tests and the showcase. This machine cannot run 32-bit x86 programs natively ($$(uname -r)); they were built, not run. With qemu-user-static installed, make test WINE_EMULATED=1 runs them, slowly. ***"
# Read by qemu-user alone: Wine needs the low 3 GB of the address space to itself.
export QEMU_RESERVED_VA := 0xc0000000

# Each stage is timed; the last line gives their seconds.
STAGE = s=$$(date +%s); $(MAKE) --no-print-directory $(1) || exit 1; t_$(2)=$$(( $$(date +%s) - s ));
test: deps
	@$(call STAGE,test-native,native) \
	if $(RUNS_32BIT); then $(call STAGE,test-wine,wine) $(call STAGE,test-dist,dist) \
	  $(call STAGE,test-showcase,showcase) \
	else $(MAKE) --no-print-directory win32 dist || exit 1; $(NOT_RUN); t_wine=-; t_dist=-; t_showcase=-; fi; \
	$(MAKE) --no-print-directory facts; \
	echo "stage seconds: native $$t_native, wine $$t_wine, dist $$t_dist, showcase $$t_showcase"

# Exit status 0 where the Wine stages can run (natively, or through qemu when asked).
runs-32bit:
	@$(RUNS_32BIT)

test-native: native
	$(NATIVE)/core_tests_plain --gtest_brief=1
	$(NATIVE)/core_tests_sanitized --gtest_brief=1

test-wine: win32 $(WINEPREFIX)/.ready-3
	mkdir -p $(BUILD)/screens
	@s=$$(date +%s); cd $(WIN32) && $(FRESH_WINE) $(WINE_TZ) xvfb-run -a -s '-screen 0 1024x768x24' \
	  wine ./win32_tests.exe --gtest_brief=1 '--gtest_filter=-Soak*'; status=$$?; wineserver -k 2>/dev/null; \
	  echo "wine suite: $$(( $$(date +%s) - s )) s (its build and prefix not counted)"; exit $$status

# The long reliability loops (ten thousand random nights of the playback logic, natively; a
# thousand dialogs, ten thousand registry states under Wine): CI runs them after make test.
soak: deps
	@$(MAKE) --no-print-directory soak-native
	@if $(RUNS_32BIT); then $(MAKE) --no-print-directory soak-wine; \
	  else $(MAKE) --no-print-directory win32 && $(NOT_RUN); fi

# Nights 1 to 10,000, the same ones every run.
soak-native: native
	NIGHTS=10000 $(NATIVE)/core_tests_plain --gtest_brief=1 --gtest_filter='Nights.*'

# One night again, each step and each call the plug-in makes: make night SEED=1234
night: native
	@test -n "$(SEED)" || { echo "usage: make night SEED=n"; exit 2; }
	NIGHTS_SEED=$(SEED) $(NATIVE)/core_tests_plain --gtest_filter='Nights.*'

soak-wine: win32 $(WINEPREFIX)/.ready-3
	cd $(WIN32) && $(FRESH_WINE) $(WINE_TZ) xvfb-run -a -s '-screen 0 1024x768x24' wine ./win32_tests.exe \
	  --gtest_brief=1 '--gtest_filter=Soak*'; status=$$?; wineserver -k 2>/dev/null; exit $$status

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

# Runs the setup program and its uninstaller against fake player folders in the prefix.
test-dist: dist win32 $(WINEPREFIX)/.ready-3
	[ "$$(zip -sf $(ZIP) | sed -n 's/^  //p' | LC_ALL=C sort | tr '\n' ' ')" = "LICENSE.txt README.md gen_dawnbell.dll " ]
	cd $(WIN32) && $(FRESH_WINE) $(WINE_TZ) timeout 600 xvfb-run -a -s '-screen 0 1024x768x24' \
	  wine ./dist_tests.exe 'Z:$(subst /,\,$(SETUP))' --gtest_brief=1; \
	  status=$$?; wineserver -k 2>/dev/null; exit $$status

facts:
	@echo "gen_dawnbell.dll: $$(stat -c %s $(WIN32)/gen_dawnbell.dll) bytes"
	@echo "imports: $$(i686-w64-mingw32-objdump -p $(WIN32)/gen_dawnbell.dll | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"

# Figures, not tests: each line gives a measurement and its goal.
bench: deps native win32 $(WINEPREFIX)/.ready-3
	@command -v valgrind >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq valgrind
	@$(MAKE) --no-print-directory facts | sed 's/^/figure: /'
	@echo "figure: goal: DLL <= 40960 bytes (40 KiB); imports: Windows system DLLs only"
	@cd $(NATIVE) && for mode in off other eight fired; do \
	  valgrind --tool=callgrind --callgrind-out-file=callgrind.$$mode --toggle-collect='ClockTick*' ./tick_bench $$mode 2>/dev/null; \
	  printf 'figure: %-44s %10s instr  goal <= 300\n' "idle ClockTick ($$mode)" "$$(sed -n 's/^summary: //p' callgrind.$$mode)"; done
	@cd $(NATIVE) && valgrind --tool=callgrind --callgrind-out-file=callgrind.ringing --toggle-collect='ClockTick*' ./tick_bench ringing 2>/dev/null; \
	  printf 'figure: %-44s %10s instr  two IPCs, three until the player is heard\n' "ringing ClockTick" "$$(sed -n 's/^summary: //p' callgrind.ringing)"
	@cd $(NATIVE) && valgrind --tool=callgrind --callgrind-out-file=callgrind.sleep --toggle-collect='ClockTick*' ./tick_bench sleep 2>/dev/null; \
	  printf 'figure: %-44s %10s instr  goal <= 300\n' "ClockTick with a sleep countdown running" "$$(sed -n 's/^summary: //p' callgrind.sleep)"
	@cd $(NATIVE) && valgrind --tool=callgrind --callgrind-out-file=callgrind.fade --toggle-collect='FadeInTick*' ./tick_bench fade 2>/dev/null; \
	  printf 'figure: %-44s %10s instr\n' "fade step (FadeInTick)" "$$(sed -n 's/^summary: //p' callgrind.fade)"
	@cd $(WIN32) && $(FRESH_WINE) $(WINE_TZ) xvfb-run -a -s '-screen 0 1024x768x24' wine ./win32_tests.exe --gtest_also_run_disabled_tests \
	  --gtest_filter='Figures.*' 2>&1 | grep -E '^figure|FAILED'; wineserver -k 2>/dev/null; true


# With a display: the player, interactive. Without one: the scripted showcase under Xvfb.
# ARGS go to the player, e.g. ARGS="--speed 10 --clock 06:59:30".
run: deps win32 $(WINEPREFIX)/.ready-3
	@if [ -n "$$DISPLAY" ]; then cd $(WIN32) && wine ./dawnbell_player.exe $(ARGS); \
	else $(MAKE) --no-print-directory showcase; fi

# The showcase on the simulated clock: prints the timeline, saves the screenshots, and
# fails unless the timeline is the expected one.
SCREENS := $(BUILD)/screens
SHOWCASE_SCREENS := player ringing menu sleep_menu alarm_menu settings about
showcase: win32 $(WINEPREFIX)/.ready-3
	mkdir -p $(SCREENS) && cd $(SCREENS) && rm -f $(foreach s,$(SHOWCASE_SCREENS),$(s).bmp $(s).png)
	cd $(WIN32) && $(FRESH_WINE) $(WINE_TZ) timeout 170 xvfb-run -a -s '-screen 0 1024x768x24' sh -c \
	  'wine ./dawnbell_player.exe --showcase --screens ../screens; s=$$?; wineserver -k; exit $$s'; \
	  status=$$?; \
	  for s in $(SHOWCASE_SCREENS); do f=$(SCREENS)/$$s; [ -e $$f.bmp ] || continue; \
	    convert $$f.bmp $$f.png && rm $$f.bmp && echo "screen: $$f.png"; done; exit $$status

test-showcase: showcase

clean:
	rm -rf $(BUILD) $(DIST)
