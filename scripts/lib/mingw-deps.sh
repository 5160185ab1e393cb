# shellcheck shell=bash
# Cross-builds libcurl, TinyXML and Crypto++ for 64-bit Windows from Debian's
# source packages (Debian's security patches included) into one prefix with
# include/ and lib/. Source after common.sh and apt-source.sh.

orvalux_mingw_host=x86_64-w64-mingw32
orvalux_mingw_cc=x86_64-w64-mingw32-gcc-posix
orvalux_mingw_cxx=x86_64-w64-mingw32-g++-posix
orvalux_mingw_ar=x86_64-w64-mingw32-ar
orvalux_mingw_jobs=2

# Compiles C++ files into objects in directory $1, with the flags given
# before "--" and the files after it, at most $orvalux_mingw_jobs at a time.
orvalux_compile_cxx() {
    local objects="$1" file running=0 failed=0
    local -a flags=()
    shift
    while [[ $1 != -- ]]; do
        flags+=("$1")
        shift
    done
    shift
    mkdir -p "$objects"
    for file in "$@"; do
        if ((running >= orvalux_mingw_jobs)); then
            wait -n || failed=1
            running=$((running - 1))
        fi
        "$orvalux_mingw_cxx" "${flags[@]}" -c "$file" -o "$objects/$(basename "$file" .cpp).o" &
        running=$((running + 1))
    done
    while ((running > 0)); do
        wait -n || failed=1
        running=$((running - 1))
    done
    return "$failed"
}

# libcurl: static, Schannel TLS, HTTP and HTTPS only; only lib/ is built.
orvalux_build_curl() {
    local src="$1" prefix="$2"
    (
        cd "$src" &&
            ./configure --host="$orvalux_mingw_host" CC="$orvalux_mingw_cc" AR="$orvalux_mingw_ar" \
                RANLIB="$orvalux_mingw_host-ranlib" CFLAGS="-O2" --prefix="$prefix" \
                --disable-shared --enable-static --disable-dependency-tracking \
                --with-schannel --without-ca-bundle --without-ca-path \
                --disable-pthreads \
                --disable-ldap --disable-ldaps --disable-ftp --disable-file --disable-dict \
                --disable-telnet --disable-tftp --disable-pop3 --disable-imap --disable-smtp \
                --disable-gopher --disable-rtsp --disable-mqtt --disable-smb --disable-manual \
                --without-zlib --without-brotli --without-zstd --without-nghttp2 --without-libidn2 \
                --without-winidn --without-libpsl --without-libssh2 --without-libssh \
                --without-librtmp --without-gssapi --without-hyper &&
            make -C lib -j"$orvalux_mingw_jobs" &&
            make -C lib install &&
            make -C include install
    ) || return 1
    rm -f "$prefix"/lib/*.la
    rm -rf "${prefix:?}/lib/pkgconfig" "${prefix:?}/bin" "${prefix:?}/share"
}

# TinyXML: the objects Debian's own build makes, with TIXML_USE_STL (Debian's
# header enforces it too, so every consumer sees the same class layout).
orvalux_build_tinyxml() {
    local src="$1" prefix="$2"
    grep -q '#define TIXML_USE_STL' "$src/tinyxml.h" || {
        log "error: this tinyxml.h does not enforce TIXML_USE_STL"
        return 1
    }
    orvalux_compile_cxx "$src/objects" -O2 -DTIXML_USE_STL -- \
        "$src/tinyxml.cpp" "$src/tinyxmlparser.cpp" "$src/tinyxmlerror.cpp" || return 1
    mkdir -p "$prefix/include" "$prefix/lib"
    "$orvalux_mingw_ar" rcs "$prefix/lib/libtinyxml.a" "$src"/objects/*.o || return 1
    install -m 644 "$src/tinyxml.h" "$prefix/include/"
}

# The Crypto++ sources a Base64 encoder and decoder need; the rest of the
# library is not compiled (it takes many minutes on two cores).
orvalux_cryptopp_units=(base64 basecode filters cryptlib misc queue algparam mqueue fips140 allocate)

# Crypto++: only what Base64 needs. Two things normally come from units we do
# not build: the template instantiations of dll.cpp, and IntToString<word64>
# from integer.cpp (which would drag in the whole big-integer maths). The
# library's own CRYPTOPP_NO_ASSIGN_TO_INTEGER switch decouples its parameters
# from Integer; a small generated unit instantiates the templates and carries
# IntToString<word64>, copied from integer.cpp of this very source package.
orvalux_build_cryptopp() {
    local src="$1" prefix="$2" unit
    local -a sources=()
    sed -i 's|^// #define CRYPTOPP_NO_ASSIGN_TO_INTEGER\r\?$|#define CRYPTOPP_NO_ASSIGN_TO_INTEGER|' \
        "$src/config_misc.h"
    grep -q '^#define CRYPTOPP_NO_ASSIGN_TO_INTEGER$' "$src/config_misc.h" || {
        log "error: could not switch on CRYPTOPP_NO_ASSIGN_TO_INTEGER in config_misc.h"
        return 1
    }
    {
        echo '#define CRYPTOPP_MANUALLY_INSTANTIATE_TEMPLATES'
        echo '#include "algparam.h"'
        echo '#include "filters.h"'
        echo '#include "secblock.h"'
        echo 'NAMESPACE_BEGIN(CryptoPP)'
        echo 'template <> CRYPTOPP_DLL'
        sed -n '/^std::string IntToString<word64>(/,/^}/p' "$src/integer.cpp" | tr -d '\r'
        echo 'NAMESPACE_END'
    } >"$src/base64_support.cpp"
    grep -q 'return result;' "$src/base64_support.cpp" || {
        log "error: IntToString<word64> not found in integer.cpp"
        return 1
    }
    for unit in "${orvalux_cryptopp_units[@]}"; do
        sources+=("$src/$unit.cpp")
    done
    orvalux_compile_cxx "$src/objects" -O2 -DNDEBUG -I"$src" -- "${sources[@]}" "$src/base64_support.cpp" ||
        return 1
    mkdir -p "$prefix/include/cryptopp" "$prefix/lib"
    "$orvalux_mingw_ar" rcs "$prefix/lib/libcryptopp.a" "$src"/objects/*.o || return 1
    install -m 644 "$src"/*.h "$prefix/include/cryptopp/"
}

# Fetches, builds and installs the three libraries into the fresh prefix $1,
# working in $2. Source versions are pinned to the installed -dev packages.
orvalux_build_mingw_deps() {
    local prefix="$1" work="$2" log_file="$2/build.log" package dev src version start
    local -A recipe=([libcurl4-openssl-dev]=curl [libtinyxml-dev]=tinyxml [libcrypto++-dev]=cryptopp)
    : >"$log_file"
    log "refreshing the private Debian source indexes (log: $log_file)"
    orvalux_apt_prepare_sources "$log_file" || return 1
    mkdir -p "$prefix"
    for dev in "${orvalux_mingw_dev_packages[@]}"; do
        package="$(dpkg-query -W -f='${source:Package}' "$dev")"
        version="$(dpkg-query -W -f='${source:Version}' "$dev")"
        start=$SECONDS
        log "fetching the source of $package $version"
        src="$(orvalux_apt_fetch_source "$package" "$version" "$work/$package" "$log_file")" || {
            tail -n 20 "$log_file" >&2
            log "error: could not fetch the source of $package (log: $log_file)"
            return 1
        }
        version="$(orvalux_unpacked_version "$src")"
        log "building $package $version for Windows"
        "orvalux_build_${recipe[$dev]}" "$src" "$prefix" >>"$log_file" 2>&1 || {
            tail -n 30 "$log_file" >&2
            log "error: building $package failed (log: $log_file)"
            return 1
        }
        printf '%s %s\n' "$package" "$version" >>"$work/versions"
        log "$package built in $((SECONDS - start)) s"
    done
    {
        echo "# MinGW-w64 static libraries for Orvalux, built by scripts/bootstrap"
        echo "recipe-revision $orvalux_mingw_recipe_revision"
        echo "compiler $("$orvalux_mingw_cxx" --version | head -n 1)"
        cat "$work/versions"
    } >"$prefix/manifest.txt"
}
