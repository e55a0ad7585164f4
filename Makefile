# Front door for the two set-up commands of the README: `make demo` and `make test`.
# `make package` builds the Debian package from the optimised build.
BUILD_DIR ?= build
TEST_BUILD_DIR ?= build-asan
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE ?= cmake

.PHONY: all build test demo package clean fuzz lint deps-build deps-test

all: build

# Debian packages: installed when missing (as root), else the command to do it.
deps-build:
	./scripts/deps.sh build

deps-test:
	./scripts/deps.sh build test

build: deps-build
	$(CMAKE) -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DTRACKTOOLS_WERROR=ON
	$(CMAKE) --build $(BUILD_DIR) -j $(JOBS)

test: deps-test
	$(CMAKE) -S . -B $(TEST_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DTRACKTOOLS_SANITIZE=ON -DTRACKTOOLS_WERROR=ON
	$(CMAKE) --build $(TEST_BUILD_DIR) -j $(JOBS)
	cd $(TEST_BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

demo: build
	./examples/demo.sh $(BUILD_DIR) demo-output

package: build
	$(CMAKE) --build $(BUILD_DIR) --target package

clean:
	rm -rf $(BUILD_DIR) $(TEST_BUILD_DIR) demo-output

# Every fuzz target for FUZZ_SECONDS (FUZZ_JOBS at a time) from the seeds in
# fuzz/corpus; needs clang++ and libFuzzer.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_JOBS ?= 1
fuzz:
	./fuzz/fuzz.sh build $(FUZZ_BUILD_DIR)
	FUZZ_JOBS=$(FUZZ_JOBS) ./fuzz/fuzz.sh run $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

# clang-tidy (.clang-tidy) and cppcheck over the product code; any finding fails.
LINT_BUILD_DIR ?= build-lint
lint:
	$(CMAKE) -S . -B $(LINT_BUILD_DIR) -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
	    -DTRACKTOOLS_BUILD_TESTS=OFF >/dev/null
	run-clang-tidy -p $(LINT_BUILD_DIR) -quiet -j $(JOBS) '$(CURDIR)/(track|geodesy|formats|tools)/'
	cppcheck --enable=warning,performance,portability --error-exitcode=1 --std=c++17 \
	    --inline-suppr --quiet --project=$(LINT_BUILD_DIR)/compile_commands.json
	@echo "lint: no findings"
