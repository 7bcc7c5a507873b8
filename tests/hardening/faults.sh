# The fault classes of the bad-asset matrix, each applied in place to one
# file of a copy of data/. Sourced, not run. apply_fault CLASS FILE
# Byte patching goes through perl (Compress::Zlib for PNG checksums).

# patch_u32 FILE OFFSET VALUE: little-endian 32-bit word.
patch_u32() {
  perl -e 'open(my $f, "+<:raw", $ARGV[0]) or die; seek($f, $ARGV[1], 0);
           print $f pack("V", $ARGV[2]); close($f)' "$1" "$2" "$3"
}

# png_size FILE W H: rewrites the IHDR width and height with a valid CRC, so
# libpng's checksum test passes and the size itself is what is judged.
png_size() {
  perl -MCompress::Zlib -e '
    open(my $f, "+<:raw", $ARGV[0]) or die; local $/; my $d = <$f>;
    substr($d, 16, 8) = pack("NN", $ARGV[1], $ARGV[2]);
    substr($d, 29, 4) = pack("N", crc32(substr($d, 12, 17)));
    seek($f, 0, 0); print $f $d; close($f)' "$1" "$2" "$3"
}

# subst FILE PERL_REGEX REPLACEMENT: first match only; fails when none.
subst() {
  perl -0777 -i -pe 'BEGIN { $r = shift; $s = shift } $n += s/$r/$s/; END { exit($n ? 0 : 1) }' \
    "$2" "$3" "$1"
}

half() { local size; size=$(stat -c %s "$1"); truncate -s $((size / 2)) "$1"; }

# A model with more vertices than 16-bit indices can address.
huge_model() {
  perl -e 'my $n = 70000; print "{\"model\": {\"vertices\": [";
    print join(",", ("{\"x\":0,\"y\":0,\"z\":0}") x $n), "], \"uvs\": [";
    print join(",", ("{\"u\":0,\"v\":0}") x $n), "], \"colors\": [";
    print join(",", ("{\"r\":0,\"g\":0,\"b\":0}") x $n), "], \"indices\": []}}"' >"$1"
}

apply_fault() {
  local class=$1 file=$2
  case $class in
    missing) rm -f "$file" ;;
    empty) : >"$file" ;;
    truncated_header) truncate -s 20 "$file" ;;
    truncated) half "$file" ;;
    wrong_magic_bmp) printf 'XY' | dd of="$file" bs=1 seek=0 conv=notrunc status=none ;;
    wrong_magic_png) printf 'GIF89a\0\0' | dd of="$file" bs=1 seek=0 conv=notrunc status=none ;;
    absurd_dims_bmp) patch_u32 "$file" 18 2147483647 && patch_u32 "$file" 22 2147483647 ;;
    absurd_dims_png) png_size "$file" 60000 60000 ;;
    not_json) printf 'this is not JSON {"model": [' >"$file" ;;
    wrong_member_types) subst "$file" '"x":\s*[-0-9.]+' '"x": "zero"' ;;
    index_out_of_range) subst "$file" '"a":\s*\d+' '"a": 65535' ;;
    absurd_counts) huge_model "$file" ;;
    collider_index_range) subst "$file" '"a":\s*\d+' '"a": 99999999999' ;;
    animation_frames_mismatch)
      subst "$file" '\}\s*\}\s*$' '}, "animations": [[[{"startTime": 0, "vertices": [{"x": 0, "y": 0, "z": 0}], "uvs": [{"u": 0, "v": 0}], "colors": [{"r": 0, "g": 0, "b": 0}]}]]]}' ;;
    not_glsl) printf 'this is not GLSL\n' >"$file" ;;
    *) echo "unknown fault class $class" >&2; return 1 ;;
  esac
}

# Fault classes for each kind of asset.
bmp_faults="missing empty truncated_header truncated wrong_magic_bmp absurd_dims_bmp"
png_faults="missing empty truncated_header truncated wrong_magic_png absurd_dims_png"
model_faults="missing empty truncated not_json wrong_member_types index_out_of_range absurd_counts animation_frames_mismatch"
collider_faults="missing empty truncated not_json wrong_member_types collider_index_range"
shader_faults="missing empty not_glsl"
