# The two commands for users: `make run` builds and starts the game, `make test` builds and
# runs every test. Both first install the Debian packages they need: `make run` only what
# building and playing need, `make test` the test tools as well.
# Another build type or compiler goes into a build folder of its own, for example
#   make test BUILD=build-rel CMAKE_BUILD_TYPE=Release
#   make test BUILD=build-clang CC=clang CXX=clang++
BUILD            ?= build
CMAKE_BUILD_TYPE ?= RelWithDebInfo
ASAN_BUILD       ?= build-asan
PKG_BUILD        ?= build-pkg
JOBS             ?= $(shell nproc)
# Warnings are errors in the project's own builds; CMAKE_ARGS adds any other cache setting.
WERROR           ?= ON
CMAKE_ARGS       ?=
CMAKE_GEN        := -G Ninja -DKX_WERROR=$(WERROR) $(CMAKE_ARGS)
# What install-deps.sh installs: run, test or package.
DEPS             ?= run

.PHONY: all deps configure build install run test sanitize bench data fuzz package format clean

all: build

deps:
	@scripts/install-deps.sh $(DEPS)

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=$(CMAKE_BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Installs, stripped, under CMAKE_INSTALL_PREFIX (default /usr/local); PREFIX=... elsewhere.
install: build
	cmake --install $(BUILD) --strip $(if $(PREFIX),--prefix $(PREFIX))

run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target kryxspace
	cd $(BUILD) && ./kryxspace

test: DEPS = test
test: build
	ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -j $(JOBS)

# The tests under AddressSanitizer and UBSan, built with Clang (so CI also builds with Clang).
# The leak checker's own record of dynamic TLS blocks goes wrong with this glibc once the GL
# driver's libraries use theirs, and its stop-the-world thread then crashes at exit; without
# that interception the blocks (glibc's own allocations) are still seen as reachable.
SANITIZE_CC  ?= clang
SANITIZE_CXX ?= clang++
sanitize: DEPS = test
sanitize: deps
	@CC=$(SANITIZE_CC) CXX=$(SANITIZE_CXX) cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKX_SANITIZE=ON -DKX_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp \
	    ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

bench: DEPS = test
bench: build
	@for b in $(BUILD)/bench_*; do echo "== $$b"; \
	  if [ -z "$$DISPLAY" ] && command -v xvfb-run >/dev/null; then \
	    xvfb-run -a -s "-screen 0 1920x1200x24" $$b; else $$b; fi; done

# The .x reader, the top-ten parser and the picture decoder under libFuzzer (clang), each for a
# bounded time (the .x reader FUZZ_SECONDS, the others half of it each).
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: DEPS = test
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DKX_FUZZ=ON -DKX_BUILD_BENCH=OFF -DKX_FUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_xfile fuzz_top_ten fuzz_picture
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp ctest --test-dir $(FUZZ_BUILD) -L fuzz --output-on-failure

# Regenerates data/ and resources/ with our own generator (the outputs are committed).
data: build
	$(BUILD)/datagen .

# The Debian package kryxspace_<version>_<arch>.deb in $(PKG_BUILD)/: a Release build with
# Debian's hardening flags, laid out as a Debian game (/usr/games, /usr/share/games).
PKG_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package: DEPS = package
package: deps
	@cmake -S . -B $(PKG_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	    -DKX_BUILD_TESTS=OFF -DKX_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr \
	    -DKX_INSTALL_BINDIR=games -DKX_INSTALL_DATAROOT=share/games/kryxspace \
	    -DCMAKE_C_FLAGS="$$($(PKG_FLAGS) CPPFLAGS) $$($(PKG_FLAGS) CFLAGS)" \
	    -DCMAKE_CXX_FLAGS="$$($(PKG_FLAGS) CPPFLAGS) $$($(PKG_FLAGS) CXXFLAGS)" \
	    -DCMAKE_EXE_LINKER_FLAGS="$$($(PKG_FLAGS) LDFLAGS)" >/dev/null
	@cmake --build $(PKG_BUILD) -j $(JOBS) --target kryxspace kx_dist_docs
	@rm -f $(PKG_BUILD)/kryxspace_*.deb
	@cd $(PKG_BUILD) && cpack -G DEB >/dev/null && ls -1 $(CURDIR)/$(PKG_BUILD)/kryxspace_*.deb

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(PKG_BUILD)
