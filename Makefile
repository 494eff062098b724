# The two commands of the README: `make run` and `make test`. Both install what is missing.
BUILD_DIR ?= build
TEST_BUILD_DIR ?= build-test
JOBS ?= $(shell nproc)
ARGS ?=

.PHONY: deps build run test build-test bench format clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	scripts/run-program.sh $(BUILD_DIR) $(ARGS)

build-test: deps
	cmake -S . -B $(TEST_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DPREZZOLAMPO_SANITIZE=ON -DPREZZOLAMPO_WERROR=ON
	cmake --build $(TEST_BUILD_DIR) -j$(JOBS)

test: build-test
	scripts/run-tests.sh $(TEST_BUILD_DIR)

bench: build
	scripts/run-bench.sh $(BUILD_DIR) $(ARGS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(TEST_BUILD_DIR)
