# Entry points: `make run`, `make test` and `make bench`. All install what is missing first.
# `make deb` and `make install` package or install the program.
# `make test-sanitize` runs the suite again in a second tree built with
# AddressSanitizer and UndefinedBehaviorSanitizer; `make mutation` measures the
# tests by planting faults. CMAKE_ARGS reach the first configure.
BUILD   ?= build
SANITIZE_BUILD ?= build-sanitize
CMAKE_ARGS ?=
JOBS    ?= $(shell nproc)
PREFIX  ?= /usr/local
PACKAGES := $(shell grep -v '^\#' debian-packages.txt)
SUDO    := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build run test test-sanitize bench mutation deb install clean

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing packages:$$missing"; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

configure: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./mflpx

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize:
	$(MAKE) test BUILD=$(SANITIZE_BUILD) CMAKE_ARGS="$(CMAKE_ARGS) -DMFLPX_SANITIZE=ON"

# Every benchmark under bench/, one after another; each prints its ratios.
bench: configure
	cmake --build $(BUILD) --target bench_batch bench_encoder bench_codecs bench_subtitles bench_runner bench_preview \
	  bench_long_batch bench_parallel_batch

# Plants small faults one at a time in the core logic and in the encoder and
# prints how many the suite catches; takes about an hour.
mutation: PACKAGES += python3
mutation: build
	python3 tests/mutation/run_mutants.py --build $(BUILD) --group core --count 60
	python3 tests/mutation/run_mutants.py --build $(BUILD) --group encoder --count 40

# A Debian package installing to /usr, written to $(BUILD)/package/.
deb: build
	cd $(BUILD) && cpack -G DEB

# Installs into $(PREFIX), asking for root only when the prefix needs it.
install: build
	@dir="$(PREFIX)"; while [ ! -e "$$dir" ]; do dir=$$(dirname "$$dir"); done; \
	if [ -w "$$dir" ]; then cmake --install $(BUILD) --strip --prefix "$(PREFIX)"; \
	else $(SUDO) cmake --install $(BUILD) --strip --prefix "$(PREFIX)"; fi

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
