-- Appends a million numbers to one string, then scans it in overlapping pieces.
-- Lua strings are immutable, so `s = s .. x` in a loop copies the whole string each time; a Lua
-- programmer collects the pieces in a table and joins them once, which is what this does.
local function main()
    local pieces = {}
    for i = 1, 1000000 do
        pieces[i] = tostring(i)
    end
    local s = table.concat(pieces)
    local checksum = #s
    for k = 0, #s // 4 - 2 do
        checksum = checksum + (string.find(string.sub(s, k * 4 + 1, k * 4 + 8), "7", 1, true) or 0)
    end
    print(checksum)
end

main()
