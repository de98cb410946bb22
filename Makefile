# Front door. `make test` on a fresh Debian machine (as root) installs what it needs.
SHELL := /bin/bash
ROOT := $(abspath .)
BUILD := $(ROOT)/build
NATIVE := $(BUILD)/native
WIN32 := $(BUILD)/win32
export WINEPREFIX := $(BUILD)/wineprefix
export WINEDEBUG := -all
export WINEDLLOVERRIDES := mscoree,mshtml=
JOBS := $(shell nproc)
DEB_PACKAGES := g++-mingw-w64-i686 wine wine32:i386 xvfb xauth cmake g++ googletest imagemagick

.PHONY: all deps native win32 dll run showcase test test-native test-wine test-showcase facts clean

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

# A private Wine prefix, made once.
$(WINEPREFIX)/.ready:
	mkdir -p $(WINEPREFIX)
	xvfb-run -a wineboot -i >/dev/null 2>&1
	wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
	wineserver -w
	touch $@

test: deps
	$(MAKE) test-native
	$(MAKE) test-wine
	$(MAKE) test-showcase
	$(MAKE) facts

test-native: native
	$(NATIVE)/core_tests_plain --gtest_brief=1
	$(NATIVE)/core_tests_sanitized --gtest_brief=1

test-wine: win32 $(WINEPREFIX)/.ready
	mkdir -p $(BUILD)/screens
	cd $(WIN32) && xvfb-run -a -s '-screen 0 1024x768x24' wine ./win32_tests.exe --gtest_brief=1; \
	  status=$$?; wineserver -k 2>/dev/null; exit $$status

facts: dll
	@echo "gen_dawnbell.dll: $$(stat -c %s $(WIN32)/gen_dawnbell.dll) bytes"
	@echo "imports: $$(i686-w64-mingw32-objdump -p $(WIN32)/gen_dawnbell.dll | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"

# With a display: the player, interactive. Without one: the scripted showcase under Xvfb.
# ARGS go to the player, e.g. ARGS="--speed 10 --clock 06:59:30".
run: deps win32 $(WINEPREFIX)/.ready
	@if [ -n "$$DISPLAY" ]; then cd $(WIN32) && wine ./dawnbell_player.exe $(ARGS); \
	else $(MAKE) --no-print-directory showcase; fi

# The showcase on the simulated clock: prints the timeline, saves the screenshots, and
# fails unless the timeline is the expected one.
SCREENS := $(BUILD)/screens
SHOWCASE_SCREENS := player menu settings about
showcase: win32 $(WINEPREFIX)/.ready
	mkdir -p $(SCREENS) && cd $(SCREENS) && rm -f $(foreach s,$(SHOWCASE_SCREENS),$(s).bmp $(s).png)
	cd $(WIN32) && timeout 170 xvfb-run -a -s '-screen 0 1024x768x24' sh -c \
	  'wine ./dawnbell_player.exe --showcase --screens ../screens; s=$$?; wineserver -k; exit $$s'; \
	  status=$$?; \
	  for s in $(SHOWCASE_SCREENS); do f=$(SCREENS)/$$s; [ -e $$f.bmp ] || continue; \
	    convert $$f.bmp $$f.png && rm $$f.bmp && echo "screen: $$f.png"; done; exit $$status

test-showcase: showcase

clean:
	rm -rf $(BUILD)
