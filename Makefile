# Quorvel: build, test and run on Debian 12.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

PACKAGES := build-essential cmake ninja-build pkg-config \
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev \
  libsqlite3-dev sqlite3 libssl-dev libgtest-dev libgmock-dev libbenchmark-dev \
  qt6-translations-l10n fonts-crosextra-carlito fonts-wine \
  xvfb xauth poppler-utils

# The sanitizer build of `make test`: -O1 keeps it quick to build and run; no benchmarks.
ASAN_BUILD_DIR ?= build-asan
ASAN_CMAKE_FLAGS := -DQUORVEL_SANITIZE=ON -DQUORVEL_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g -DNDEBUG"
SANITIZER_SUPPRESSIONS := $(CURDIR)/tests/sanitizers
SANITIZER_ENV := \
  ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:suppressions=$(SANITIZER_SUPPRESSIONS)/ubsan.supp \
  LSAN_OPTIONS=suppressions=$(SANITIZER_SUPPRESSIONS)/lsan.supp:print_suppressions=0

# Only `make fuzz` needs these: clang and its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# The demonstration setup `make run` makes beside the program when it has none.
RUN_DB_PASSWORD ?= quorvel

.PHONY: deps configure build test run clean fuzz-deps fuzz

# Installs only what is missing, so a second run costs a dpkg query and nothing more.
deps:
	@missing="$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done)"; \
	if [ -n "$$missing" ]; then \
	  echo "Instalando pacotes: $$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# After the normal run, the whole suite again under AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer in its own folder; any report fails the test that caused it.
test: build
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)
	@cmake -S . -B $(ASAN_BUILD_DIR) -G Ninja $(ASAN_CMAKE_FLAGS) > /dev/null
	@cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	@$(SANITIZER_ENV) ctest --test-dir $(ASAN_BUILD_DIR) --output-on-failure -j $(JOBS)

# Builds, makes a demonstration database and ServerConfig.ini when build/bin has no
# configuration (never replacing either), then starts the program.
run: build
	@bin="$$(cd $(BUILD_DIR)/bin && pwd)"; db="$$bin/quorvel.db"; \
	if [ ! -f "$$bin/ServerConfig.ini" ]; then \
	  if [ ! -f "$$db" ]; then \
	    echo "Criando o banco de demonstração $$db"; \
	    "$$bin/quorvel-admin" create-db "$$db" --demo --password "$(RUN_DB_PASSWORD)" || exit 1; \
	  fi; \
	  "$$bin/quorvel-admin" write-config "$$bin" --db "$$db" --password "$(RUN_DB_PASSWORD)" || exit 1; \
	fi; \
	if [ -z "$$DISPLAY$$WAYLAND_DISPLAY$$QT_QPA_PLATFORM" ]; then \
	  echo "Sem tela gráfica (DISPLAY e WAYLAND_DISPLAY vazios): rode numa sessão gráfica ou com xvfb-run make run."; \
	  exit 1; \
	fi; \
	exec "$$bin/Quorvel"

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR)

fuzz-deps: deps
	@missing="$$(for p in $(FUZZ_PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done)"; \
	if [ -n "$$missing" ]; then \
	  echo "Instalando pacotes: $$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -qq && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $$missing; \
	fi

# Builds the libFuzzer targets of fuzz/ with clang, then runs each for FUZZ_SECONDS from its
# checked-in seeds (fuzz/corpus/<target>/); fails on any crash, hang or sanitizer report.
fuzz: fuzz-deps
	@CC=clang-14 CXX=clang++-14 cmake -S fuzz -B $(FUZZ_DIR) -G Ninja > /dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS)
	@fuzz/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)
