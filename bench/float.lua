-- Ten million terms of the Leibniz series for Pi/4 in double arithmetic.

local function main()
    local total = 0.0
    local sign = 1.0
    for k = 0, 9999999 do
        total = total + sign / (2 * k + 1)
        sign = -sign
    end
    print(math.floor(total * 1e9))
end

main()
