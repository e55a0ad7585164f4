# Front door for the two set-up commands of the README: `make demo` and `make test`.
# `make package` builds the Debian package from the optimised build.
BUILD_DIR ?= build
TEST_BUILD_DIR ?= build-asan
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE ?= cmake

.PHONY: all build test demo package clean

all: build

build:
	$(CMAKE) -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DTRACKTOOLS_WERROR=ON
	$(CMAKE) --build $(BUILD_DIR) -j $(JOBS)

test:
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
