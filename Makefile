# The two commands of the README, plus the sanitizer build and installing.
#   make run      installs what the build needs, builds, runs the example program
#   make test     installs what the build needs, builds, runs every test
#   make install  builds, then installs joxrun and joxflow into PREFIX/bin and
#                 the flowchart's icons into /usr/local/jox/image, under DESTDIR
BUILD ?= build
PREFIX ?= /usr/local
DESTDIR ?=
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
DEPS = cmake g++ make bison libgmp-dev libgtest-dev netpbm
SUDO = $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps build test run install sanitize fuzz clean

deps:
	@missing=""; for p in $(DEPS); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  $(SUDO) apt-get update -qq && $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

run: build
	$(BUILD)/apps/joxrun examples/demo.jox

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The whole suite again, built with AddressSanitizer and UBSan.
sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DJOX_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS)

# The libFuzzer targets (clang++), each run for FUZZ_SECONDS (default 60);
# any finding fails.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	@for p in clang-14 libclang-rt-14-dev; do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  $(SUDO) apt-get update -qq && $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi
	FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) bash fuzz/run.sh $(FUZZ_BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
