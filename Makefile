# SPDX-FileCopyrightText: 2026 Clavelle developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Set-up, build, run and test Clavelle. Every target installs missing Debian packages first.
JOBS ?= $(shell nproc)
RELEASE_DIR := build/release
TEST_DIR := build/test
BENCH_DIR := build/bench
PACKAGE_DIR := build/package

.PHONY: all deps run build test lint bench fuzz package clean
FUZZ_SECONDS ?= 60

all: build

deps:
	@./scripts/install-deps

build: deps
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DCLAVELLE_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS)

run: build
	cd $(RELEASE_DIR)/data && ../app/clavelle

test: deps
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DCLAVELLE_SANITIZE=ON -DCLAVELLE_WERROR=ON
	cmake --build $(TEST_DIR) -j $(JOBS)
	ctest --test-dir $(TEST_DIR) --output-on-failure -j $(JOBS)

# The tree's format (.clang-format), then clang-tidy (.clang-tidy) on the program and tool
# sources with the test build's compile commands.
lint: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DCLAVELLE_SANITIZE=ON -DCLAVELLE_WERROR=ON
	cmake --build $(TEST_DIR) -j $(JOBS) --target clavelle_form_autogen
	git ls-files '*.cpp' | grep -v -E '^(tests|bench|fuzz)/' | xargs -P $(JOBS) -n 6 clang-tidy -p $(TEST_DIR) --quiet

bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DCLAVELLE_TESTS=OFF -DCLAVELLE_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	./bench/run-all $(BENCH_DIR)

fuzz: deps
	./fuzz/run $(FUZZ_SECONDS)

package: deps
	./packaging/build-deb $(PACKAGE_DIR) $(JOBS)
	@ls $(PACKAGE_DIR)/*.deb

clean:
	rm -rf build
