# Quorvel: build, test and run on Debian 12.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

PACKAGES := build-essential cmake ninja-build pkg-config \
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev \
  libsqlite3-dev sqlite3 libssl-dev libgtest-dev libgmock-dev libbenchmark-dev \
  qt6-translations-l10n fonts-crosextra-carlito fonts-wine \
  xvfb xauth poppler-utils

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

test: build
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

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
	rm -rf $(BUILD_DIR)

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
