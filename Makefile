# make run   builds and starts Veyrith under Wine
# make test  builds and runs every test under Wine
# make dist  puts the shipping set into dist/
BUILD := build
JOBS  := 2

.PHONY: all deps configure build run test dist bench clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) \
		-DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-veyrith $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

dist: build
	@rm -rf dist && mkdir -p dist
	@cmake --build $(BUILD) --target dist

bench: build
	@scripts/run-bench $(BUILD)

clean:
	rm -rf $(BUILD) dist
