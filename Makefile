# The two commands a newcomer needs: `make demo` and `make test`.
# Both install the Debian packages they need first (scripts/install-deps.sh).

.PHONY: deps demo test native windows native-test windows-test bench format clean

deps:
	bash scripts/install-deps.sh

demo: deps
	bash scripts/demo.sh

test: deps
	bash scripts/test.sh

native:
	cmake --preset native
	cmake --build --preset native -j2

windows:
	cmake --preset windows
	cmake --build --preset windows -j2

native-test: native
	ctest --preset native

windows-test: windows
	ctest --preset windows

bench: deps
	bash scripts/bench.sh

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
